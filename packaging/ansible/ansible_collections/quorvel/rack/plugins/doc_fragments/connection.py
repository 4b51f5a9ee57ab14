# The options shared by every module of the collection: how quorvel-cli reaches the rack.
from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r"""
options:
  cli:
    description: The quorvel-cli program, a name looked up in C(PATH) or a full path.
    type: str
    default: quorvel-cli
  port:
    description: The port the rack is on, instead of the one stored in the station's settings.
    type: str
    choices: [com1, com2, com1-rs485, com2-rs485, tcp, usb, gpib, lpt1, lpt2]
  address:
    description:
      - C(HOST[:PORT]) for C(tcp), the serial number for C(usb), the device address for the
        RS485 ports and C(gpib).
    type: str
  baud:
    description: Baud rate of a serial port.
    type: int
    choices: [9600, 19200, 38400]
  mode:
    description: Start mode of quorvel-cli (C(P) and C(O) are the production modes).
    type: str
    choices: [S, A, P, PS, O]
  config_dir:
    description: Folder with the hardware tables C(ws.cfg), C(NodePod.cfg) and C(kx.cfg).
    type: path
  download_dir:
    description:
      - Folder with the firmware files, instead of the stored download directory.
    type: path
notes:
  - quorvel-cli's questions are answered yes (C(--yes)), since a task has no terminal to ask on.
"""
