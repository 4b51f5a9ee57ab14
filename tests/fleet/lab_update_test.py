#!/usr/bin/env python3
"""A lab of three racks updated with the Ansible collection, as a lab would run it: the build is
installed into a staging folder, each rack is a ventrix-sim of its own on a loopback TCP port,
and ansible-playbook runs the collection's lab playbook on three hosts on localhost with the
installed quorvel-cli. One rack is outdated, one current, one breaks every download (garbled
check values). Check mode plans and changes nothing; the first run updates the outdated rack,
leaves the current one and fails the broken one without stopping the others; the second run
changes nothing and fails the broken rack again, whose module was left in loader 1.

Usage: lab_update_test.py BUILD_DIR
"""
import csv
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

BUILD = Path(sys.argv.pop(1)).resolve() if len(sys.argv) > 1 else None

OLD, NEW = "P3.10", "P3.11"
# The racks in inventory order: the first two form the first batch.
RACKS = {
    "rack-outdated": dict(version=OLD),
    # Every check value of its flash pairs comes back garbled: each download fails.
    "rack-broken": dict(
        version=OLD, faults=[{"pattern": "^PRC1,2,F$", "occurrence": 0, "action": "garble"}]
    ),
    "rack-current": dict(version=NEW),
}
SLOT = 3  # the RA77 of every rack
# The update runs in batches of two: the broken rack fails in the first, the second goes on.
# Check mode and the second run, which change nothing, take all racks at once.
ONE_BATCH = ("-e", "quorvel_batch=3")
IDENTITY = "QTX-RA77,RA77-WS081,0," + NEW


def rack_file(version, faults=()):
    # Short resets; one RA77 (type 3: its download covers only the firmware's own pairs).
    return {
        "timing": {"resetMs": 200},
        "processor": {"kind": "KX43"},
        "panel": {"kind": "DV43A"},
        "slots": [
            {"slot": SLOT - 1, "kind": "RA77", "firmwareType": 3, "moduleCode": 32,
             "amtNumber": 7, "subChannels": 2, "version": version}
        ],
        "faults": list(faults),
    }


class Lab:
    """The staged installation, the firmware, the simulated racks and the inventory."""

    def __init__(self, folder):
        self.folder = folder
        stage = folder / "stage"
        subprocess.run(["cmake", "--install", str(BUILD)], check=True, stdout=subprocess.DEVNULL,
                       env=dict(os.environ, DESTDIR=str(stage)))
        prefix = stage / str(self.cache("CMAKE_INSTALL_PREFIX")).lstrip("/")
        self.bin = prefix / "bin"
        self.collections = prefix / "share/quorvel/ansible"
        self.playbook = self.collections / "ansible_collections/quorvel/rack/playbooks/update-lab.yml"
        self.firmware = self.write_firmware(folder / "Download")
        self.report = folder / "lab-report.csv"
        self.simulators = []
        self.addresses = {name: self.start_rack(name, **rack) for name, rack in RACKS.items()}
        self.inventory = folder / "inventory.json"
        self.inventory.write_text(json.dumps(self.hosts()))

    def cache(self, name):
        for line in (BUILD / "CMakeCache.txt").read_text().splitlines():
            if line.startswith(name + ":"):
                return line.split("=", 1)[1]
        raise AssertionError("%s not in the build's cache" % name)

    def write_firmware(self, directory):
        fwgen = str(self.bin / "fwgen")
        subprocess.run([fwgen, "amplifier-set", "--out", str(directory)], check=True,
                       stdout=subprocess.DEVNULL)
        (directory / "ws.cfg").unlink()  # the installation's table names the types
        # A small RA77 application (2 KB from 0x10000) keeps the download short.
        text = b"@(#)" + IDENTITY.encode() + b"\0"
        raw = self.folder / "ra77.bin"
        raw.write_bytes(text + bytes((i * 7 + 3) & 0xFF for i in range(0x800 - len(text))))
        application = directory / ("ra77p%s.s00" % NEW.replace("P", "").replace(".", ""))
        subprocess.run([fwgen, "ihex", "--out", str(application), "--address", "0x10000",
                        "--input", str(raw)], check=True, stdout=subprocess.DEVNULL)
        return directory

    def start_rack(self, name, version, faults=()):
        path = self.folder / (name + ".json")
        path.write_text(json.dumps(rack_file(version, faults)))
        simulator = subprocess.Popen(
            [str(self.bin / "ventrix-sim"), "--rack", str(path), "--tcp", "127.0.0.1:0", "-q"],
            stdout=subprocess.PIPE, text=True)
        self.simulators.append(simulator)
        line = simulator.stdout.readline()
        if not line.startswith("listening tcp "):
            raise AssertionError("ventrix-sim for %s did not start: %r" % (name, line))
        return line.split()[-1]

    def settings(self, name):
        # Each station's own settings: the simulated rack restarts in a second, and its log.
        home = self.folder / "config" / name
        (home / "Quorvel").mkdir(parents=True)
        (home / "Quorvel/Quorvel.ini").write_text(
            "[Properties]\nResetTimeout3=1\nLogFileName=%s\n" % (self.folder / (name + ".log")))
        return str(home)

    def hosts(self):
        racks = {
            name: {
                "ansible_connection": "local",
                "ansible_python_interpreter": sys.executable,
                "quorvel_cli": str(self.bin / "quorvel-cli"),
                "quorvel_port": "tcp",
                "quorvel_address": address,
                "quorvel_download_dir": str(self.firmware),
                "quorvel_environment": {"XDG_CONFIG_HOME": self.settings(name)},
            }
            for name, address in self.addresses.items()
        }
        return {"all": {"vars": {"quorvel_batch": 2, "quorvel_report": str(self.report)},
                        "children": {"racks": {"hosts": racks}}}}

    def stop(self):
        for simulator in self.simulators:
            simulator.terminate()
            simulator.wait()
            simulator.stdout.close()

    def play(self, *options):
        """Runs the lab playbook; returns its exit code, task results by task and host, the
        statistics per host and the report's lines per rack."""
        self.report.unlink(missing_ok=True)
        home = self.folder / "ansible"
        environment = dict(
            os.environ,
            ANSIBLE_COLLECTIONS_PATH=str(self.collections),
            ANSIBLE_COLLECTIONS_SCAN_SYS_PATH="False",
            ANSIBLE_HOME=str(home),
            ANSIBLE_LOCAL_TEMP=str(home / "tmp"),
            ANSIBLE_CALLBACK_PLUGINS=str(Path(__file__).parent / "callback_plugins"),
            ANSIBLE_STDOUT_CALLBACK="results_json",
            ANSIBLE_LOCALHOST_WARNING="False",
            ANSIBLE_NOCOLOR="1",
        )
        run = subprocess.run(
            ["ansible-playbook", "-i", str(self.inventory), str(self.playbook), *options],
            env=environment, capture_output=True, text=True)
        try:
            document = json.loads(run.stdout)
        except ValueError:
            raise AssertionError("ansible-playbook printed no JSON:\n%s\n%s"
                                 % (run.stdout, run.stderr))
        with self.report.open() as report:
            rows = {}
            for row in csv.DictReader(report):
                rows.setdefault(row["rack"], []).append(row)
        return run.returncode, document["tasks"], document["stats"], rows


def slot_row(rows, rack):
    found = [row for row in rows[rack] if row["device"] == "slot %d" % SLOT]
    assert len(found) == 1, rows[rack]
    return found[0]


@unittest.skipIf(BUILD is None, "needs the build folder")
class LabUpdateTest(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        cls.folder = Path(tempfile.mkdtemp(prefix="quorvel-lab-"))
        cls.lab = Lab(cls.folder)

    @classmethod
    def tearDownClass(cls):
        cls.lab.stop()
        shutil.rmtree(cls.folder)

    def assertVersions(self, rows, rack, before, after, outcome):
        row = slot_row(rows, rack)
        self.assertEqual((row["type"], row["before"], row["after"], row["outcome"]),
                         ("RA77C", before, after, outcome), row)
        return row

    def assertRacks(self, stats, failed):
        for rack in RACKS:
            self.assertEqual(stats[rack]["failures"], 1 if rack in failed else 0, (rack, stats))
            self.assertEqual(stats[rack]["unreachable"], 0, stats)

    def test_check_then_update_twice(self):
        self.check_mode_plans_and_changes_nothing()
        self.first_run_updates_leaves_and_fails()
        self.second_run_changes_nothing()

    def check_mode_plans_and_changes_nothing(self):
        rc, results, stats, rows = self.lab.play("--check", "--diff", *ONE_BATCH)
        self.assertEqual(rc, 0, results)
        self.assertRacks(stats, failed=[])
        update = results["Update every outdated module"]
        for rack in ("rack-outdated", "rack-broken"):
            self.assertTrue(update[rack]["changed"], update[rack])
            self.assertTrue(update[rack]["plan"]["dryRun"])
            self.assertEqual(update[rack]["planned_slots"], [SLOT])
            row = self.assertVersions(rows, rack, OLD, OLD, "planned")
            self.assertEqual(row["message"], "slots %d would be updated" % SLOT)
        self.assertFalse(update["rack-current"].get("changed"), update["rack-current"])
        self.assertVersions(rows, "rack-current", NEW, NEW, "current")
        # The processor and the panel are in the report as well.
        self.assertEqual([row["device"] for row in rows["rack-current"]],
                         ["processor", "panel", "slot %d" % SLOT])

    def first_run_updates_leaves_and_fails(self):
        rc, results, stats, rows = self.lab.play("--diff")
        self.assertEqual(rc, 2, "ansible-playbook reports the failed host")
        self.assertRacks(stats, failed=["rack-broken"])
        update = results["Update every outdated module"]

        updated = update["rack-outdated"]
        self.assertTrue(updated["changed"])
        self.assertEqual(updated["rc"], 0)
        self.assertIn("slot %d RA77C: %s" % (SLOT, OLD), updated["diff"]["before"])
        self.assertIn("slot %d RA77C: %s" % (SLOT, NEW), updated["diff"]["after"])
        self.assertVersions(rows, "rack-outdated", OLD, NEW, "updated")

        self.assertFalse(update["rack-current"].get("changed"), update["rack-current"])
        self.assertVersions(rows, "rack-current", NEW, NEW, "current")

        broken = update["rack-broken"]
        self.assertTrue(broken["failed"])
        self.assertEqual(broken["rc"], 1)
        self.assertIn("download application",
                      [phase["phase"] for phase in broken["failed_phases"]])
        self.assertEqual([failure["slot"] for failure in broken["failures"]], [SLOT])
        self.assertTrue(broken["failures"][0]["state"] and broken["failures"][0]["next_step"])
        row = self.assertVersions(rows, "rack-broken", OLD, "V1.02", "failed")
        self.assertIn("slot %d: " % SLOT, row["message"])
        failure = results["Report the failure"]["rack-broken"]
        self.assertEqual(failure["msg"], row["message"])

    def second_run_changes_nothing(self):
        rc, results, stats, rows = self.lab.play(*ONE_BATCH)
        self.assertEqual(rc, 2)
        self.assertRacks(stats, failed=["rack-broken"])
        for rack in ("rack-outdated", "rack-current"):
            self.assertEqual(stats[rack]["changed"], 0, stats)
            self.assertVersions(rows, rack, NEW, NEW, "current")
        # The module left in its loader is not taken for current.
        row = self.assertVersions(rows, "rack-broken", "V1.02", "V1.02", "failed")
        self.assertIn("slot %d: " % SLOT, row["message"])


if __name__ == "__main__":
    unittest.main()
