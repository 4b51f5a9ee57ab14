#!/usr/bin/env python3
"""The collection quorvel.rack without a rack: how its helpers read quorvel-cli's JSON (the scan
before and after slots were numbered 1-16 with a firmware state, run reports with and without
per-slot states), its documentation as ansible-doc shows it, its version and its playbook.

Usage: collection_test.py COLLECTIONS_DIR PROJECT_VERSION
"""
import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

COLLECTIONS = Path(sys.argv.pop(1)).resolve()
PROJECT_VERSION = sys.argv.pop(1)
COLLECTION = COLLECTIONS / "ansible_collections/quorvel/rack"
sys.path.insert(0, str(COLLECTIONS))
sys.dont_write_bytecode = True  # the collection's folder stays as checked out

from ansible_collections.quorvel.rack.plugins.module_utils import quorvel_cli  # noqa: E402

PROCESSOR = {"identity": "QTX,KX43,0,P1.41", "type": "KX43", "softwareVersion": "P1.41"}
NO_PANEL = {"present": True, "identity": "not detected", "type": "DV", "softwareVersion": "0.00"}
PANEL = {"present": True, "identity": "QTX,DV43A,P4.10", "type": "DV43A", "softwareVersion": "4.10"}


def empty(position):
    return {"slot": position, "detected": False, "identity": "not detected", "type": " ",
            "softwareVersion": "P0.0", "versionSuffix": "0"}


def module(position, version, suffix="0", **fields):
    return dict({"slot": position, "detected": True, "identity": "QTX-RA77,...", "type": "RA77C",
                 "softwareVersion": version, "versionSuffix": suffix}, **fields)


def ansible(*command):
    environment = dict(os.environ, ANSIBLE_COLLECTIONS_PATH=str(COLLECTIONS),
                       ANSIBLE_COLLECTIONS_SCAN_SYS_PATH="False", ANSIBLE_NOCOLOR="1",
                       ANSIBLE_HOME=tempfile.gettempdir() + "/quorvel-ansible-%d" % os.getuid())
    return subprocess.run(command, env=environment, capture_output=True, text=True)


class ScanTest(unittest.TestCase):
    def test_states_and_slot_numbers_of_both_scan_forms(self):
        # (scan slots, expected (slot, channel, state, newer) of the occupied slots, up_to_date)
        table = [
            # 0-based "slot" only, no firmware state: the versions cannot be judged.
            ([empty(0), module(2, "P3.10")], [(3, 2, "unknown", None)], None),
            # a module answering from loader 1 needs an operator, whatever else is known
            ([module(2, "V1.02", suffix="L1")], [(3, 2, "attention", None)], False),
            # numbered 1-16 with "channel", with the state quorvel-cli worked out
            ([dict(empty(1), channel=0, state="empty"),
              module(3, "P3.10", channel=2, state="outdated", newer_firmware="P3.11")],
             [(3, 2, "outdated", "P3.11")], False),
            ([module(3, "P3.11", channel=2, state="current", newer_firmware=None)],
             [(3, 2, "current", None)], True),
        ]
        for slots, expected, up_to_date in table:
            with self.subTest(slots=slots):
                facts = quorvel_cli.rack_facts({"processor": PROCESSOR, "panel": NO_PANEL,
                                                "slots": slots})
                occupied = [(s["slot"], s["channel"], s["state"], s["newer_firmware"])
                            for s in facts["slots"] if s["state"] != "empty"]
                self.assertEqual(occupied, expected)
                self.assertIs(facts["up_to_date"], up_to_date)
                self.assertIsNone(facts["panel"])
                self.assertEqual(facts["outdated"],
                                 [s for s, _, state, _ in expected if state == "outdated"])

    def test_versions_before_and_after(self):
        before = quorvel_cli.rack_facts(
            {"processor": PROCESSOR, "panel": PANEL, "slots": [empty(0), module(2, "P3.10")]})
        after = quorvel_cli.rack_facts(
            {"processor": PROCESSOR, "panel": PANEL, "slots": [empty(0), module(2, "P3.11")]})
        rows = quorvel_cli.version_changes(before, after)
        self.assertEqual([(r["device"], r["before"], r["after"], r["changed"]) for r in rows],
                         [("panel", "4.10", "4.10", False), ("processor", "P1.41", "P1.41", False),
                          ("slot 3", "P3.10", "P3.11", True)])
        not_scanned = quorvel_cli.version_changes(before, None)
        self.assertEqual([(r["after"], r["changed"]) for r in not_scanned], [(None, False)] * 3)
        self.assertEqual(quorvel_cli.version_text(rows[2:], "after"), "slot 3 RA77C: P3.11\n")


class RunReportTest(unittest.TestCase):
    FAILED = {"phases": [
        {"name": "group ra77", "outcome": "planned",
         "details": ["slot 3 RA77C P3.10: selected for download",
                     "slot 5 RA77C P3.11: not selected, version is up to date"]},
        {"name": "download application", "outcome": "failed", "details": ["slots 3", "/x.s00"],
         "messages": [{"kind": "warning", "text": "Download Error in Slot 3 !\r\rPlease change"}]},
    ]}

    def test_failed_slots_from_the_phases_and_the_scan_afterwards(self):
        after = quorvel_cli.rack_facts({"processor": PROCESSOR, "panel": PANEL,
                                        "slots": [module(2, "V1.02", suffix="L1")]})
        failures = quorvel_cli.slot_failures(self.FAILED, after)
        self.assertEqual([(f["slot"], f["state"]) for f in failures], [(3, "attention")])
        self.assertIn("slots: [3]", failures[0]["next_step"])
        self.assertEqual(quorvel_cli.failed_phases(self.FAILED)[0]["messages"],
                         ["Download Error in Slot 3 ! Please change"])
        self.assertEqual(quorvel_cli.slot_failures(self.FAILED, None),
                         [{"slot": 3, "state": "not scanned"}])

    def test_per_slot_states_of_the_report_come_first(self):
        failed = {"slot": 3, "ok": False, "state": "erased", "next_step": "retry"}
        report = dict(self.FAILED, state="erased", slots=[{"slot": 1, "ok": True}, failed])
        self.assertEqual(quorvel_cli.slot_failures(report, None), [failed])

    def test_planned_slots(self):
        self.assertEqual(quorvel_cli.planned_slots(self.FAILED), [3])
        self.assertEqual(quorvel_cli.planned_slots(None), [])


class CollectionTest(unittest.TestCase):
    def test_documentation_of_every_module(self):
        for name in ("inventory", "update"):
            with self.subTest(module=name):
                shown = ansible("ansible-doc", "quorvel.rack." + name)
                self.assertEqual(shown.returncode, 0, shown.stderr)
                for option in ("port", "address", "download_dir", "config_dir"):
                    self.assertIn("- " + option, shown.stdout)

    def test_version_follows_the_project(self):
        galaxy = (COLLECTION / "galaxy.yml").read_text()
        self.assertIn("\nversion: %s\n" % PROJECT_VERSION, galaxy)

    def test_playbook_syntax(self):
        checked = ansible("ansible-playbook", "--syntax-check", "-i",
                          str(COLLECTION / "examples/inventory.yml"),
                          str(COLLECTION / "playbooks/update-lab.yml"))
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)


if __name__ == "__main__":
    unittest.main()
