# Running quorvel-cli from a module: its connection options, its JSON output, and the rack's
# inventory in the form the modules return it.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import re

PORTS = ["com1", "com2", "com1-rs485", "com2-rs485", "tcp", "usb", "gpib", "lpt1", "lpt2"]

# The options every module of the collection takes: how to reach the rack and where its files are.
CONNECTION_OPTIONS = dict(
    cli=dict(type="str", default="quorvel-cli"),
    port=dict(type="str", choices=PORTS),
    address=dict(type="str"),
    baud=dict(type="int", choices=[9600, 19200, 38400]),
    mode=dict(type="str", choices=["S", "A", "P", "PS", "O"]),
    config_dir=dict(type="path"),
    download_dir=dict(type="path"),
)

# quorvel-cli's exit codes of success (1 failed and 3 no rack are failures).
EXIT_DONE = 0
EXIT_NOTHING_TO_DO = 2

# The identity of a position where nothing answered.
EMPTY_IDENTITY = ("", "not detected", None)


def connection_arguments(params):
    """The command-line options of quorvel-cli for the module's connection parameters."""
    options = [
        ("--port", params.get("port")),
        ("--address", params.get("address")),
        ("--baud", params.get("baud")),
        ("--mode", params.get("mode")),
        ("--config-dir", params.get("config_dir")),
        ("--download-dir", params.get("download_dir")),
    ]
    arguments = []
    for option, value in options:
        if value is not None:
            arguments += [option, str(value)]
    return arguments


class CliResult:
    """One run of quorvel-cli: the exit code, its JSON document (None when it printed none) and
    its error output."""

    def __init__(self, command, rc, document, stderr):
        self.command = command
        self.rc = rc
        self.document = document
        self.stderr = stderr.strip()


def run_cli(module, *subcommand):
    """Runs quorvel-cli --json with the module's connection options and the subcommand. A task
    has no terminal: its questions are answered yes (--yes), among them the warning that another
    quorvel-cli runs on the station, which is expected when one station drives several racks."""
    cli = module.get_bin_path(module.params["cli"], required=True)
    command = [cli, "--json", "--quiet", "--yes"] + connection_arguments(module.params) + list(subcommand)
    rc, stdout, stderr = module.run_command(command)
    try:
        document = json.loads(stdout) if stdout.strip() else None
    except ValueError:
        module.fail_json(
            msg="quorvel-cli printed no JSON document: %s" % (stderr.strip() or stdout[:200]),
            rc=rc,
            cmd=command,
        )
    return CliResult(command, rc, document, stderr)


def _text(value):
    return value.strip() if isinstance(value, str) else value


def _detected(record):
    return _text(record.get("identity")) not in EMPTY_IDENTITY


def _slot_state(slot):
    if "state" in slot:
        return slot["state"]
    if not slot.get("detected", True) or not _detected(slot):
        return "empty"
    # A module that answers with its loader's identity ("L1", "L2") does not run its firmware.
    if _text(slot.get("versionSuffix", "")).startswith("L"):
        return "attention"
    # A quorvel-cli that does not compare with the download directory cannot tell.
    return "unknown"


def _slot(slot, index):
    number = slot.get("slot")
    if "channel" in slot:
        channel = slot["channel"]
        number = number if number is not None else channel + 1
    else:
        # Without "channel" the field "slot" is the 0-based position (older quorvel-cli).
        channel = number if number is not None else index
        number = channel + 1
    return {
        "slot": number,
        "channel": channel,
        "type": _text(slot.get("type")) or None,
        "version": _text(slot.get("softwareVersion")) or None,
        "identity": _text(slot.get("identity")),
        "state": _slot_state(slot),
        "newer_firmware": slot.get("newer_firmware"),
    }


def _device(record, present):
    if not present:
        return None
    return {
        "type": _text(record.get("type")) or None,
        "version": _text(record.get("softwareVersion")) or None,
        "identity": _text(record.get("identity")),
        "state": record.get("state"),
        "newer_firmware": record.get("newer_firmware"),
    }


def _device_list(processor, panel, slots):
    devices = []
    for name, device in (("processor", processor), ("panel", panel)):
        if device:
            devices.append(dict(device=name, type=device["type"], version=device["version"]))
    for slot in slots:
        if slot["state"] != "empty":
            devices.append(
                dict(device="slot %d" % slot["slot"], type=slot["type"], version=slot["version"])
            )
    return devices


def rack_facts(scan):
    """The inventory of quorvel-cli --json scan as the fact quorvel_rack."""
    processor = scan.get("processor", {})
    panel = scan.get("panel", {})
    processor = _device(processor, _detected(processor))
    panel = _device(panel, panel.get("present", False) and _detected(panel))
    slots = [_slot(slot, index) for index, slot in enumerate(scan.get("slots", []))]
    occupied = [slot for slot in slots if slot["state"] != "empty"]
    states = set(slot["state"] for slot in occupied)
    return {
        "processor": processor,
        "panel": panel,
        "slots": slots,
        "devices": _device_list(processor, panel, slots),
        "outdated": [slot["slot"] for slot in occupied if slot["state"] == "outdated"],
        "attention": [slot["slot"] for slot in occupied if slot["state"] == "attention"],
        # None: this quorvel-cli does not say whether newer firmware is available.
        "up_to_date": None if "unknown" in states else not (states & {"outdated", "attention"}),
    }


def versions(facts):
    """Device name -> (type, version) of an inventory, for comparing before and after."""
    return dict(
        (device["device"], (device["type"], device["version"]))
        for device in (facts or {}).get("devices", [])
    )


def version_changes(before, after):
    """Every device with its type and version before and after; `after` may be None when the
    rack could not be scanned afterwards."""
    old, new = versions(before), versions(after)
    rows = []
    for device in sorted(set(old) | set(new), key=_device_order):
        kind, version_before = old.get(device, (None, None))
        kind_after, version_after = new.get(device, (None, None))
        rows.append(
            {
                "device": device,
                "type": kind or kind_after,
                "before": version_before,
                "after": version_after if after is not None else None,
                "changed": after is not None and version_before != version_after,
            }
        )
    return rows


def _device_order(device):
    if device.startswith("slot "):
        return (1, int(device.split()[1]))
    return (0, device)


def version_text(rows, side):
    return "".join(
        "%s %s: %s\n" % (row["device"], row["type"] or "-", row[side] or "-") for row in rows
    )


def _one_line(text):
    return " ".join((text or "").split())


def attention_advice(slot):
    """What an operator does about a slot in state attention."""
    if slot["version"] and not slot["version"].startswith("P"):
        return (
            "the module answers from its loader (%s), not from its firmware: write its firmware "
            "with quorvel.rack.update slots: [%d] (quorvel-cli download --slots %d)"
            % (slot["version"], slot["slot"], slot["slot"])
        )
    return "the module needs an operator: see quorvel-cli update-all --dry-run"


def attention_slots(facts):
    """The slots of an inventory that need an operator, each with the next step."""
    return [
        dict(slot=slot["slot"], type=slot["type"], version=slot["version"], state=slot["state"],
             next_step=attention_advice(slot))
        for slot in (facts or {}).get("slots", [])
        if slot["state"] == "attention"
    ]


def _reported_slots(report):
    """The per-slot entries of a run report that carry a state or a next step, wherever the
    report keeps them."""
    found = []

    def walk(node):
        if isinstance(node, dict):
            if "slot" in node and ("state" in node or "next_step" in node):
                found.append(node)
            for value in node.values():
                walk(value)
        elif isinstance(node, list):
            for value in node:
                walk(value)

    walk(report or {})
    return found


def _failed_phase_slots(report):
    numbers = []
    for phase in failed_phases(report):
        for detail in phase["details"]:
            if detail.startswith("slots "):
                numbers += [int(number) for number in re.findall(r"\d+", detail)]
    return sorted(set(numbers))


def slot_failures(report, after):
    """The failed slots: as the run report names them with their state and next step, or else
    the slots of the failed phases with their state in the scan afterwards."""
    reported = _reported_slots(report)
    if reported:
        return reported
    slots = dict((slot["slot"], slot) for slot in (after or {}).get("slots", []))
    failures = []
    for number in _failed_phase_slots(report):
        slot = slots.get(number)
        failure = dict(slot=number, state=slot["state"] if slot else "not scanned")
        if slot and slot["state"] == "attention":
            failure["next_step"] = attention_advice(slot)
        failures.append(failure)
    return failures


def failed_phases(report):
    return [
        {
            "phase": phase.get("name"),
            "details": phase.get("details", []),
            "messages": [_one_line(message.get("text")) for message in phase.get("messages", [])],
        }
        for phase in (report or {}).get("phases", [])
        if phase.get("outcome") == "failed"
    ]


PLANNED_SLOT = re.compile(r"^slot (\d+) .*: selected for download$")


def planned_slots(plan):
    """The slots a dry run of update-all selected for download."""
    return [
        int(match.group(1))
        for phase in (plan or {}).get("phases", [])
        for match in (PLANNED_SLOT.match(detail) for detail in phase.get("details", []))
        if match
    ]
