#!/usr/bin/env python3
"""Runs the log generator genlog.py ($TREVALO_GENLOG, else ../shared/tools/genlog.py beside the
repository) with many distinct user agents (--agents N variants).

genlog.py draws from 30 user agents. This makes N variants of them, each base agent in
proportion to its weight, by giving the last number of the agent a different value per
variant ("Safari/537.36" becomes "Safari/537.1234"): the variants are distinct texts of the
same browsers, systems and crawlers, as the many versions and builds of a real log are.
Every other draw stays as it is, so the output is deterministic. Other arguments are those
of genlog.py; pass --ips large enough for the agents to be met (each address keeps one agent
for most of its visits): 1,000,000 lines with --ips 450000 --agents 300000 hold 50,558
distinct agents.
"""
import argparse
import os
import re
import sys

GENLOG = os.environ.get("TREVALO_GENLOG") or os.path.join(
    os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "shared", "tools", "genlog.py")


def load_genlog():
    sys.path.insert(0, os.path.dirname(GENLOG))
    import genlog  # its main() runs only when it is started as a program
    return genlog


def variants(module, count):
    total = sum(w for w, _, _ in module.USER_AGENTS)
    agents = []
    for weight, agent, bot in module.USER_AGENTS:
        n = max(1, round(count * weight / total))
        numbers = list(re.finditer(r"\d+", agent))
        for i in range(n):
            if numbers:
                last = numbers[-1]
                text = agent[:last.start()] + str(int(last.group()) * 1000 + i) + agent[last.end():]
            else:
                text = "%s/%d" % (agent, i)
            agents.append((weight / n, text, bot))
    module.USER_AGENTS[:] = agents


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--agents", type=int, default=50000)
    known, rest = parser.parse_known_args()
    genlog = load_genlog()
    variants(genlog, known.agents)
    sys.argv = [GENLOG] + rest
    genlog.main()
