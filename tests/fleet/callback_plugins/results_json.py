# Prints a playbook's task results and statistics as one JSON document, for the lab test
# (ansible-core has no JSON output of its own; that is in the ansible.posix collection).
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json

from ansible.plugins.callback import CallbackBase

DOCUMENTATION = r"""
name: results_json
type: stdout
short_description: task results and statistics as one JSON document
description: Every task's result per host, and the statistics per host, printed at the end.
"""


class CallbackModule(CallbackBase):
    CALLBACK_VERSION = 2.0
    CALLBACK_TYPE = "stdout"
    CALLBACK_NAME = "results_json"

    def __init__(self):
        super(CallbackModule, self).__init__()
        self.results = {}

    def record(self, result, **outcome):
        task = self.results.setdefault(result._task.get_name(), {})
        task[result._host.get_name()] = dict(result._result, **outcome)

    def v2_runner_on_ok(self, result):
        self.record(result)

    def v2_runner_on_failed(self, result, ignore_errors=False):
        self.record(result, failed=True)

    def v2_runner_on_skipped(self, result):
        self.record(result, skipped=True)

    def v2_runner_on_unreachable(self, result):
        self.record(result, unreachable=True)

    def v2_playbook_on_stats(self, stats):
        hosts = sorted(stats.processed.keys())
        summary = dict((host, stats.summarize(host)) for host in hosts)
        self._display.display(json.dumps({"tasks": self.results, "stats": summary}))
