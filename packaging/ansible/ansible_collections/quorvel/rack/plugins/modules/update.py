#!/usr/bin/python
# Updates the amplifier modules of a rack with quorvel-cli and reports what changed.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: update
short_description: Bring the amplifier modules of a Ventrix rack to current firmware
description:
  - Without C(slots), runs C(quorvel-cli --json update-all), which updates every amplifier module
    for which the download directory holds newer firmware; with C(slots), runs
    C(quorvel-cli --json download) for those slots, with C(firmware) or the firmware the list
    offers by default.
  - The rack is scanned before and after. The task is C(changed) only when a module's version
    changed; a rack already current is C(ok), so a second run changes nothing.
  - In check mode quorvel-cli runs with C(--dry-run); every check runs, nothing is sent to the
    modules, and the plan is returned.
  - With C(--diff) the versions before and after are shown.
  - A failed update returns C(failed) with the run report, the slots that failed with their state
    and the next step, and the exit code of quorvel-cli.
  - The task is done only when the rack, scanned again, runs every module's firmware. A module
    that answers from its loader (left so by an earlier failed download) fails the task, before
    anything is sent in check mode and after the run otherwise, with the next step.
version_added: "0.2.0"
author: Quorvel developers
extends_documentation_fragment:
  - quorvel.rack.connection
options:
  slots:
    description:
      - Amplifier slots (1-16) to download into. Without it every outdated module is updated.
    type: list
    elements: int
  firmware:
    description:
      - Firmware file for C(slots), as C(quorvel-cli firmware list) names it; without it the
        default of that list.
    type: str
  backup_dir:
    description:
      - Existing folder on the target; the flash of each of C(slots) is uploaded into it before
        the download, and nothing is downloaded when a backup fails.
    type: path
requirements:
  - quorvel-cli on the target
notes:
  - Supports check mode and diff mode.
  - C(firmware) and C(backup_dir) need C(slots).
"""

EXAMPLES = r"""
- name: Update every outdated module of the rack on the station's first serial port
  quorvel.rack.update:
    port: com1
    download_dir: /srv/firmware/ventrix

- name: Write a chosen firmware into slots 3 and 4 of a network rack, backing them up first
  quorvel.rack.update:
    port: tcp
    address: 10.0.4.21:5025
    slots: [3, 4]
    firmware: RA51P210.S00
    backup_dir: /var/backups/ventrix
"""

RETURN = r"""
rc:
  description: Exit code of quorvel-cli (0 done, 1 failed, 2 nothing to do, 3 no rack).
  returned: always
  type: int
ansible_facts:
  description: C(quorvel_rack), the inventory of the rack scanned after the update (see
    M(quorvel.rack.inventory)).
  returned: when the rack could be scanned after the update
  type: dict
plan:
  description: The plan of the dry run (the run report with C(dryRun=true)).
  returned: in check mode
  type: dict
planned_slots:
  description: The slots the plan selected for download (update-all).
  returned: in check mode
  type: list
  elements: int
report:
  description: The run report of quorvel-cli, phase by phase, with its messages.
  returned: when quorvel-cli ran the update
  type: dict
versions:
  description: Every device with its type and version before and after, and whether it changed.
  returned: when the rack could be scanned before
  type: list
  elements: dict
  sample:
    - {device: slot 2, type: RA51, before: P2.04, after: P2.10, changed: true}
failures:
  description:
    - The slots that failed or need an operator, each with C(slot), C(state) and, where
      known, C(next_step).
  returned: on failure
  type: list
  elements: dict
failed_phases:
  description: The failed phases of the run report with their details and messages.
  returned: on failure
  type: list
  elements: dict
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.quorvel.rack.plugins.module_utils.quorvel_cli import (
    CONNECTION_OPTIONS,
    attention_slots,
    EXIT_DONE,
    EXIT_NOTHING_TO_DO,
    failed_phases,
    planned_slots,
    rack_facts,
    run_cli,
    slot_failures,
    version_changes,
    version_text,
)

SUCCESS = (EXIT_DONE, EXIT_NOTHING_TO_DO)


def command_of(params):
    slots = params["slots"]
    if not slots:
        return ["update-all"]
    command = ["download", "--slots", ",".join(str(slot) for slot in slots)]
    if params["firmware"]:
        command += ["--firmware", params["firmware"]]
    if params["backup_dir"]:
        command += ["--backup", params["backup_dir"]]
    return command


def scan(module):
    result = run_cli(module, "scan")
    if result.rc != EXIT_DONE or result.document is None:
        return None, result
    return rack_facts(result.document), result


def failure_text(failures, phases, fallback):
    if failures:
        return "; ".join(
            "slot %s: %s%s"
            % (
                failure.get("slot"),
                failure.get("state", "failed"),
                ", next: %s" % failure["next_step"] if failure.get("next_step") else "",
            )
            for failure in failures
        )
    messages = [text for phase in phases for text in phase["messages"] if text]
    return "; ".join(messages) or fallback


def check_mode(module, command, before):
    plan = run_cli(module, "--dry-run", *command)
    phases = failed_phases(plan.document)
    attention = attention_slots(before)
    if plan.rc not in SUCCESS or attention:
        module.fail_json(
            msg="the plan was refused: %s"
            % failure_text(attention, phases, plan.stderr or "exit code %d" % plan.rc),
            rc=plan.rc,
            plan=plan.document,
            failures=attention,
            failed_phases=phases,
        )
    # Ansible takes a result with a non-zero rc for failed unless it says otherwise; exit code 2
    # (nothing to do) is a success.
    module.exit_json(
        changed=plan.rc == EXIT_DONE,
        failed=False,
        rc=plan.rc,
        plan=plan.document,
        planned_slots=planned_slots(plan.document),
    )


def outcome_of(module, run, before, after):
    """What every run returns: the report and the versions before and after."""
    rows = version_changes(before, after)
    outcome = dict(
        changed=any(row["changed"] for row in rows),
        rc=run.rc,
        report=run.document,
        versions=rows,
    )
    if after is not None:
        outcome["ansible_facts"] = dict(quorvel_rack=after)
    if module._diff:
        outcome["diff"] = dict(
            before=version_text(rows, "before"),
            after=version_text(rows, "after") if after is not None else "(rack not scanned)\n",
        )
    return outcome


def update(module, command, before):
    run = run_cli(module, *command)
    after, _ = scan(module)
    outcome = outcome_of(module, run, before, after)
    if run.rc not in SUCCESS:
        failures = slot_failures(run.document, after)
        phases = failed_phases(run.document)
        module.fail_json(
            msg="quorvel-cli %s failed: %s"
            % (command[0], failure_text(failures, phases, run.stderr or "exit code %d" % run.rc)),
            failures=failures,
            failed_phases=phases,
            stderr=run.stderr,
            **outcome
        )
    # Done means the rack, scanned again, runs every module's firmware.
    attention = attention_slots(after)
    if after is None or attention:
        module.fail_json(
            msg="the rack is not done: %s"
            % failure_text(attention, [], "it could not be scanned after the update"),
            failures=attention,
            **outcome
        )
    module.exit_json(failed=False, **outcome)  # exit code 2 (nothing to do) is a success


def main():
    module = AnsibleModule(
        argument_spec=dict(
            CONNECTION_OPTIONS,
            slots=dict(type="list", elements="int"),
            firmware=dict(type="str"),
            backup_dir=dict(type="path"),
        ),
        required_by={"firmware": "slots", "backup_dir": "slots"},
        supports_check_mode=True,
    )
    wrong = [slot for slot in module.params["slots"] or [] if not 1 <= slot <= 16]
    if wrong:
        module.fail_json(msg="slots %s are not slots 1-16; nothing was sent" % wrong)
    command = command_of(module.params)
    before, scanned = scan(module)
    if before is None:
        module.fail_json(
            msg="quorvel-cli scan failed, nothing was updated: %s"
            % (scanned.stderr or "exit code %d" % scanned.rc),
            rc=scanned.rc,
            cmd=scanned.command,
        )
    if module.check_mode:
        check_mode(module, command, before)
    update(module, command, before)


if __name__ == "__main__":
    main()
