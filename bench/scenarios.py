#!/usr/bin/env python3
"""Scenario files for the benchmarks and the memory script.

  bench/scenarios.py DIR quick N...   DIR/quick-N.json: a quick run over the generated profile of N contacts
  bench/scenarios.py DIR mailbox N... DIR/mailbox-N.json: the quick run over the generated profile of N contacts in a
                                      mailbox of Microsoft 365 (version 16) whose hidden folders under Contacts
                                      hold 4 N more contacts without a category
  bench/scenarios.py DIR chain N...   DIR/chain-N.json: a custom run that picks the bottom of a chain of N nested folders
  bench/scenarios.py DIR startup      DIR/startup.json: connect and disconnect on the tests' small profile,
                                      in a host with command bars; DIR/startup-ribbon.json: the same in
                                      a ribbon host (version 16)

The generated profile is that of bench/quick_run_bench.cpp's make_profile, call for call: the
same contacts, folders and categories for the same size, so the native and the Wine figures
describe the same run; the mailbox is its make_mailbox.
"""
import json
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def generated(contacts):
    seed = 12345

    def next_(below):
        nonlocal seed
        seed = (seed * 1664525 + 1013904223) & 0xFFFFFFFF
        return (seed >> 8) % below

    subs = [{"name": "Group %d" % (i + 1), "itemType": 2, "items": [], "folders": []} for i in range(3)]
    archive = {"name": "Archive", "itemType": 2, "items": []}
    subs[0]["folders"].append(archive)
    root = {"name": "Contacts", "defaultFor": "contacts", "itemType": 2, "items": [], "folders": subs}
    categories = ["Business", "Personal", "VIP", "Key Customer"]
    for i in range(contacts):
        n = str(i)
        item = {"class": 40}
        item["FullName"] = "" if next_(20) == 0 else "Contact " + n
        item["CompanyName"] = "Company %d" % (i % 50)
        item["Email1Address"] = ("shared%d@example.org" % (i % 10)) if next_(20) == 0 else "c%s@example.com" % n
        if next_(100) < 40:
            item["Email2Address"] = "c%s.home@example.net" % n
        if next_(100) < 15:
            item["Email3Address"] = "c%s.club@example.org" % n
        first = next_(4)
        cats = [categories[first]]
        if next_(100) < 30:
            cats.append(categories[(first + 1 + next_(3)) % 4])
        item["Categories"] = cats
        where = next_(100)
        folder = root if where < 70 else subs[0] if where < 80 else subs[1] if where < 90 else subs[2] if where < 97 else archive
        folder["items"].append(item)
        if i % 50 == 49:
            root["items"].append({"class": 69, "Subject": "List " + n, "Categories": ["Business"]})
    return {"folders": [root]}


def quick(contacts):
    return {"profile": generated(contacts),
            "answers": [{"categories": "Business, VIP"}, {"msgbox": "No"}],
            "steps": [{"do": "connect"}, {"do": "quickList"}, {"do": "disconnect"}]}


def mailbox(contacts, hidden):
    scenario = quick(contacts)
    profile = scenario["profile"]
    profile["version"] = "16.0.17928.20114"
    system = [("Recipient Cache", hidden * 6 // 10), ("GAL Contacts", hidden * 3 // 10),
              ("Organizational Contacts", hidden - hidden * 6 // 10 - hidden * 3 // 10),
              ("PeopleCentricConversation Buddies", 0), ("Companies", 0)]
    n = 0
    for name, count in system:
        items = [{"class": 40, "FullName": "Person %d" % i, "Email1Address": "p%d@contoso.example" % i}
                 for i in range(n, n + count)]
        n += count
        profile["folders"][0]["folders"].append({"name": name, "itemType": 2, "hidden": True, "items": items})
    return scenario


def chain(depth):
    """Folders nested `depth` deep below Contacts, one contact at the bottom, which the custom
    run picks. Returned as JSON text: the json module is slow on nesting this deep."""
    bottom = json.dumps({"name": "F", "itemType": 2,
                         "items": [{"class": 40, "FullName": "Ann Lee", "Email1Address": "ann@example.com",
                                    "Categories": ["Business"]}]})
    folder = '{"name": "F", "itemType": 2, "items": [], "folders": [' * (depth - 1) + bottom + "]}" * (depth - 1)
    root = '{"name": "Contacts", "defaultFor": "contacts", "itemType": 2, "items": [], "folders": [%s]}' % folder
    rest = json.dumps({"answers": [{"pickFolder": "Contacts" + "/F" * depth}, {"categories": "Business"},
                                   {"msgbox": "Yes"}],
                       "steps": [{"do": "connect"}, {"do": "customList", "name": "Deep"}, {"do": "disconnect"}]})
    return '{"profile": {"folders": [%s]}, %s' % (root, rest[1:])


def startup(version=None):
    with open(os.path.join(ROOT, "tests", "scenarios", "profiles", "small.json")) as f:
        profile = json.load(f)["profile"]
    if version:
        profile["version"] = version
    return {"profile": profile, "steps": [{"do": "connect"}, {"do": "disconnect"}]}


def write(path, scenario):
    with open(path, "w") as f:
        f.write(scenario if isinstance(scenario, str) else json.dumps(scenario))


def main(argv):
    if len(argv) < 3 or argv[2] not in ("quick", "mailbox", "chain", "startup"):
        sys.exit(__doc__)
    out, kind, sizes = argv[1], argv[2], [int(n) for n in argv[3:]]
    if kind == "startup":
        write(os.path.join(out, "startup.json"), startup())
        write(os.path.join(out, "startup-ribbon.json"), startup("16.0.17928.20114"))
    for n in sizes:
        made = quick(n) if kind == "quick" else mailbox(n, 4 * n) if kind == "mailbox" else chain(n)
        write(os.path.join(out, "%s-%d.json" % (kind, n)), made)


if __name__ == "__main__":
    main(sys.argv)
