#!/usr/bin/env python3
"""Benchmark: what the answering road adds to a question, offline, on the sample.

For each question of bench/questions/sample_questions.json: Assistant.ask (no AI service), and
the parts it cannot do without done alone: the context record (process_query in the lexical
mode with the database) and, for an answered question, running the chosen statement
(Quillon.test_query). The difference is the road's own work: the history look-up, the template
search and refill, the choice, the summary and the answer record. Target (2-core machine): at
most 5 ms added (median over the questions of the per-question medians).

Usage: .venv/bin/python bench/bench_road.py [--runs 15]
"""

import argparse
import contextlib
import io
import json
import os
import pathlib
import statistics
import time

from inputs import median_ms

HERE = pathlib.Path(__file__).resolve().parent
QUESTIONS = HERE / "questions" / "sample_questions.json"



def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=15)
    args = ap.parse_args()

    import Corvalt
    from Corvalt.Atlanor import AtlanorService
    from Corvalt.Quillon import Quillon

    files = Corvalt.sample_files()
    with contextlib.redirect_stdout(io.StringIO()):
        assistant = Corvalt.Assistant(files["db"], files["metadata"], files["history"])
        schema = AtlanorService(files["metadata"], linking="lexical", database=files["db"])
        schema.build_graph()
        sql = Quillon(files["db"])
    questions = [q for q in json.loads(QUESTIONS.read_text()) if not q.get("previous_sql")]
    added, whole = [], []
    for q in questions:
        text = q["question"]
        answer = assistant.ask(text)
        ask = median_ms(lambda: assistant.ask(text), args.runs)
        parts = median_ms(lambda: schema.process_query(text), args.runs)
        if answer["answered"]:
            parts += median_ms(lambda: sql.test_query({"sql": answer["sql"]}), args.runs)
        whole.append(ask)
        added.append(ask - parts)
    print(f"sample: {len(questions)} questions, Assistant.ask median {statistics.median(whole):.3f} ms, "
          f"worst {max(whole):.3f} ms")
    print(f"  added by the road: median {statistics.median(added):.3f} ms, worst {max(added):.3f} ms "
          f"(target 5 ms)")
    print(f"machine: {os.cpu_count()} cores")


if __name__ == "__main__":
    main()
