#!/usr/bin/env python3
"""Checks the transcripts of tests/stores/make_scenarios.py's runs (JSON lines, one file per
scenario, NAME.jsonl in DIR) for what real stores must never cost the user: a member.

  tests/stores/check_transcripts.py DIR

- parts-16: one list, "Business", with every collected member;
- parts-11-truncate, parts-11-fail: K > 1 lists "Business (1 of K)" ... "Business (K of K)",
  whose members, joined in order, are exactly parts-16's, each with the categories; one
  information box that says so; the first part displayed;
- parts-11-save-fails: no success after the thanks: a message that names how many members were
  not stored, and no closing page;
- open-quick, open-custom: no failure, the same lists as open-quick-free and open-custom-free,
  and at most a handful of items open at once, however many contacts there are.
Prints one line per scenario; status 1 when any check fails.
"""
import json
import os
import re
import sys

DIR = sys.argv[1]
bad = []


def events(name):
    with open(os.path.join(DIR, name + ".jsonl"), encoding="utf-8") as f:
        return [json.loads(line) for line in f if line.startswith("{")]


def saved(evs):
    return [e for e in evs if e["event"] == "saved"]


def check(name, ok, what):
    if not ok:
        bad.append("%s: %s" % (name, what))


whole = saved(events("parts-16"))
check("parts-16", len(whole) == 1 and whole[0]["subject"] == "Business", "not one list named Business")
collected = whole[0]["members"] if whole else []
check("parts-16", len(collected) == 400, "%d members, not 400" % len(collected))

for name in ("parts-11-truncate", "parts-11-fail"):
    evs = events(name)
    lists = saved(evs)
    k = len(lists)
    check(name, k > 1, "%d list(s), not several" % k)
    for i, l in enumerate(lists):
        check(name, l["subject"] == "Business (%d of %d)" % (i + 1, k), "a part is named %r" % l["subject"])
        check(name, l["categories"] == "Business", "a part's categories are %r" % l["categories"])
    joined = [m for l in lists for m in l["members"]]
    check(name, joined == collected, "the parts' members, joined, are not the collected ones exactly once each")
    told = [e for e in evs if e["event"] == "msgbox" and "%d lists" % k in e["text"]]
    check(name, len(told) == 1 and told[0]["style"] & 0x40, "the user is not told of the parts in one information box")
    shown = [e for e in evs if e["event"] == "display"]
    check(name, bool(lists) and bool(shown) and shown[0]["entryId"] == lists[0]["entryId"], "the first part is not shown")
    check(name, not any(e["event"] == "failure" for e in evs), "a failure")
    print("%s: %d members in %d lists of %s members" % (name, len(joined), k, "/".join(str(len(l["members"])) for l in lists)))

evs = events("parts-11-save-fails")
texts = [e.get("text", "") for e in evs if e["event"] == "msgbox"]
thanks = next((i for i, t in enumerate(texts) if t.startswith("Thank you")), None)
after = texts[thanks + 1:] if thanks is not None else []
check("parts-11-save-fails", any(re.search(r"\b\d+ of 400 members were not stored", t) for t in after),
      "no message names how many members were not stored")
check("parts-11-save-fails", not any(e["event"] == "form" and e["form"] == "frmDone" for e in evs),
      "the closing page follows a loss")
print("parts-11-save-fails: %s" % (after[-1] if after else "(nothing after the thanks)"))

for run in ("quick", "custom"):
    limited, free = events("open-" + run), events("open-%s-free" % run)
    check("open-" + run, not any(e["event"] == "failure" for e in limited), "a failure under the limit")
    check("open-" + run, [(l["subject"], l["members"]) for l in saved(limited)] ==
          [(l["subject"], l["members"]) for l in saved(free)], "other lists than without the limit")
    end = limited[-1]
    check("open-" + run, end.get("peakOpenItems", 999) <= 8, "%s items open at once" % end.get("peakOpenItems"))
    print("open-%s: %d members; at most %s items and %s host objects alive at once" % (
        run, sum(len(l["members"]) for l in saved(limited)), end.get("peakOpenItems"), end.get("peakLiveObjects")))

for b in bad:
    print("FAILED: " + b)
sys.exit(1 if bad else 0)
