#!/usr/bin/env python3
"""Benchmark: what `corvalt mcp` adds to the road's own time for a tool call, on the sample.

Times the `ask` and `run_sql` tools through the mcp package's own stdio client against a
`python -m Corvalt mcp` subprocess, and the same work in this process (Assistant.ask, and
Quillon.run_rows of the same statement). The difference of the medians is the server's cost:
the protocol, the JSON both ways and the bounding of the result. Target (2-core machine): at
most 5 ms.

Usage: .venv/bin/python bench/bench_mcp.py [--runs 30]
"""

import argparse
import os
import statistics
import sys
import time

from inputs import median_ms

QUESTION = "Show all projects with negative float"
STATEMENT = "SELECT activity_code, activity_name, total_float_days FROM activities WHERE total_float_days < 0"



def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=30)
    opt = ap.parse_args()

    import anyio
    from mcp import ClientSession, StdioServerParameters
    from mcp.client.stdio import stdio_client

    import Corvalt
    from Corvalt.Quillon import Quillon

    files = Corvalt.sample_files()
    assistant = Corvalt.Assistant(files["db"], files["metadata"], files["history"])
    quillon = Quillon(files["db"], read_only="engine")
    local_ask = median_ms(lambda: assistant.ask(QUESTION), opt.runs)
    local_sql = median_ms(lambda: quillon.run_rows(STATEMENT), opt.runs)

    async def served():
        params = StdioServerParameters(command=sys.executable, args=["-m", "Corvalt", "mcp", "-q"],
                                       env=dict(os.environ))
        with open(os.devnull, "w") as log:
            async with stdio_client(params, errlog=log) as (read, write):
                async with ClientSession(read, write) as session:
                    await session.initialize()
                    out = {}
                    for tool, args in (("ask", {"question": QUESTION}), ("run_sql", {"sql": STATEMENT})):
                        await session.call_tool(tool, args)  # warm
                        samples = []
                        for _ in range(opt.runs):
                            t0 = time.perf_counter()
                            result = await session.call_tool(tool, args)
                            samples.append((time.perf_counter() - t0) * 1e3)
                            assert not result.is_error, result.content
                        out[tool] = statistics.median(samples)
                    return out

    remote = anyio.run(served)
    for tool, local in (("ask", local_ask), ("run_sql", local_sql)):
        print(f"{tool}: through the server {remote[tool]:.2f} ms, in process {local:.2f} ms, "
              f"added {remote[tool] - local:.2f} ms (target 5 ms)")
    print(f"machine: {os.cpu_count()} cores")


if __name__ == "__main__":
    main()
