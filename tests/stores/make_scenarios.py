#!/usr/bin/env python3
"""Scenario files for the tests of real stores' limits (scripts/outlook-sim-stores and the
native store tests): runs over more contacts than one list of a host before 2010 can hold,
and runs over thousands of contacts under a session's limit of open items.

  tests/stores/make_scenarios.py DIR

DIR/parts-11-truncate.json, parts-11-fail.json: a quick run over 400 contacts on a host of
version 11.0, whose lists keep the first members that fit, or refuse members that do not;
DIR/parts-16.json: the same run on version 16.0 (no limit: one list);
DIR/parts-11-save-fails.json: the truncating run whose second part cannot be saved;
DIR/open-quick.json, open-custom.json: quick and custom runs over 5,000 contacts (half in
the default Contacts folder, half in 20 subfolders) under "openItemLimit": 250;
DIR/open-quick-free.json, open-custom-free.json: the same without the limit.
Names and addresses include text beyond Latin-1: scripts beyond the basic plane, CJK with
spaces, right-to-left, combining marks, and a name of 1,000 characters.
"""
import json
import os
import sys

NAMES = ["Ann Lee", "\U0001F600 Smiley Sam", "\u674E \u5C0F\u9F8D", "\u05D3\u05E0\u05D4 \u05DB\u05D4\u05DF",
         "Zoe\u0308 Mu\u0308ller", "O'Brien & Co"]


def contact(i, categories):
    name = NAMES[i % len(NAMES)] + " %d" % i
    if i == 7:
        name = "L" + "o" * 998 + "ng"  # 1,000 characters
    return {"class": 40, "FullName": name, "CompanyName": "Company %d" % (i % 7),
            "Email1Address": "c%d@example.com" % i, "Categories": categories}


def parts(version, full=None, faults=None):
    profile = {"version": version,
               "folders": [{"name": "Contacts", "defaultFor": "contacts", "itemType": 2,
                            "items": [contact(i, ["Business"]) for i in range(400)]}]}
    if full:
        profile["listFull"] = full
    s = {"profile": profile, "answers": [{"categories": "Business"}, {"msgbox": "Yes"}],
         "steps": [{"do": "connect"}, {"do": "quickList"}, {"do": "disconnect"}]}
    if faults:
        s["faults"] = faults
    return s


def open_items(run, limit):
    root = {"name": "Contacts", "defaultFor": "contacts", "itemType": 2, "items": [], "folders": []}
    subs = [{"name": "Sub %d" % (i + 1), "itemType": 2, "items": []} for i in range(20)]
    root["folders"] = subs
    for i in range(5000):
        c = contact(i, ["VIP"] if i % 3 else ["VIP", "Business"])
        (root if i % 2 == 0 else subs[i % 20])["items"].append(c)
    profile = {"version": "16.0", "folders": [root]}
    if limit is not None:
        profile["openItemLimit"] = limit
    if run == "quick":
        answers = [{"categories": "VIP"}, {"msgbox": "No"}]
        steps = [{"do": "connect"}, {"do": "quickList"}, {"do": "disconnect"}]
    else:
        answers = [{"pickFolder": "Contacts"}, {"categories": "VIP"}, {"msgbox": "No"}]
        steps = [{"do": "connect"}, {"do": "customList", "name": "Every VIP"}, {"do": "disconnect"}]
    return {"profile": profile, "answers": answers, "steps": steps}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "parts-11-truncate": parts("11.0"),
        "parts-11-fail": parts("11.0", "fail"),
        "parts-16": parts("16.0"),
        "parts-11-save-fails": parts("11.0", faults=[{"member": "Save", "occurrence": 2}]),
        "open-quick": open_items("quick", 250),
        "open-custom": open_items("custom", 250),
        "open-quick-free": open_items("quick", 0),
        "open-custom-free": open_items("custom", 0),
    }
    for name, s in files.items():
        with open(os.path.join(out, name + ".json"), "w", encoding="utf-8") as f:
            json.dump(s, f, ensure_ascii=False)


if __name__ == "__main__":
    main()
