#!/usr/bin/python
# Scans a rack with quorvel-cli and returns its inventory as facts.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: inventory
short_description: Scan a Ventrix rack and return its devices and firmware state as facts
description:
  - Runs C(quorvel-cli --json scan) on the target, the station the rack is connected to.
  - Returns the rack's communication processor, panel and amplifier slots as the fact
    C(quorvel_rack). Nothing on the rack changes; the module always reports C(changed=false)
    and runs in check mode as well.
version_added: "0.2.0"
author: Quorvel developers
extends_documentation_fragment:
  - quorvel.rack.connection
requirements:
  - quorvel-cli on the target
notes:
  - Supports check mode; it scans in check mode as well, since a scan changes nothing.
"""

EXAMPLES = r"""
- name: Scan the rack on the station's first serial port
  quorvel.rack.inventory:
    port: com1
    baud: 38400

- name: Scan a rack on the network and list its outdated slots
  quorvel.rack.inventory:
    port: tcp
    address: 10.0.4.21:5025
    download_dir: /srv/firmware/ventrix
- ansible.builtin.debug:
    msg: "outdated slots: {{ quorvel_rack.outdated }}"
"""

RETURN = r"""
ansible_facts:
  description: The fact C(quorvel_rack).
  returned: success
  type: dict
  contains:
    quorvel_rack:
      description: The rack's devices.
      type: dict
      contains:
        processor:
          description: The communication processor (type, version, identity, state,
            newer_firmware), null when none answered.
          type: dict
        panel:
          description: The display and control panel, null when the rack has none.
          type: dict
        slots:
          description:
            - The occupied amplifier slots. Each has C(slot) (1-16), C(channel) (0-15),
              C(type), C(version), C(identity), C(state) and C(newer_firmware) (the version
              of newer firmware in the download directory, or null).
            - C(state) is C(current), C(outdated), C(attention) (the module needs an operator)
              or C(empty); C(unknown) when the installed quorvel-cli does not compare versions.
          type: list
          elements: dict
          sample:
            - {slot: 2, channel: 1, type: RA51, version: P2.04, state: outdated,
               newer_firmware: P2.10}
        outdated:
          description: Slot numbers whose module has newer firmware available.
          type: list
          elements: int
        attention:
          description: Slot numbers whose module needs an operator.
          type: list
          elements: int
        up_to_date:
          description: True when no module is outdated or needs attention; null when the
            installed quorvel-cli cannot tell.
          type: bool
rc:
  description: Exit code of quorvel-cli (0 scanned, 3 no rack answered).
  returned: always
  type: int
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.quorvel.rack.plugins.module_utils.quorvel_cli import (
    CONNECTION_OPTIONS,
    EXIT_DONE,
    rack_facts,
    run_cli,
)


def main():
    module = AnsibleModule(argument_spec=dict(CONNECTION_OPTIONS), supports_check_mode=True)
    scan = run_cli(module, "scan")
    if scan.rc != EXIT_DONE or scan.document is None:
        module.fail_json(
            msg="quorvel-cli scan failed: %s" % (scan.stderr or "exit code %d" % scan.rc),
            rc=scan.rc,
            cmd=scan.command,
        )
    module.exit_json(changed=False, rc=scan.rc, ansible_facts={"quorvel_rack": rack_facts(scan.document)})


if __name__ == "__main__":
    main()
