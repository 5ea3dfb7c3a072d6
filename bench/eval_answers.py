#!/usr/bin/env python3
"""Measure the answering road's answers on a question file, with scripted AI services.

Runs every question of the file through Corvalt.Assistant and scores the answers as `corvalt
eval` does (Corvalt.evaluation: set, multiset, relaxed; answered share and precision), once per
kind of AI service:

- none: no AI service; the road answers from the same earlier question or a fitting template;
- oracle: an AI that always writes the gold statement: what the road itself loses (an earlier
  question or a template winning over the right statement, a refused statement);
- sighted: an AI that writes the gold statement only when the prompt shows every table, column
  and stored value it needs, and otherwise what a capable model would guess
  (bench/eval_prompt.py's SightedAI): what the prompt's content costs.

Usage: python bench/eval_answers.py --metadata M.json --db D.db --questions Q.json
       [--history H.json] [--ais none,oracle,sighted] [--show]
Needs sqlglot for the sighted AI (as eval_prompt.py).
"""

from __future__ import annotations

import argparse
import contextlib
import io
import os
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

AIS = ("none", "oracle", "sighted")


class Oracle:
    """Writes the gold statement of the question under evaluation, whatever the prompt shows."""

    def __init__(self, gold_of):
        self.gold_of = gold_of
        self.question = None

    def run(self, prompt):
        from eval_prompt import NO_UNDERSTANDING

        return NO_UNDERSTANDING

    def clear_history(self):
        pass

    def get_response_sync(self, prompt):
        if self.question not in self.gold_of:
            raise RuntimeError("no statement answers this question")
        return f"{self.gold_of[self.question]}\nEXPLANATION: the gold statement."


def main(argv=None) -> int:
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--metadata", required=True)
    ap.add_argument("--db", required=True, help="an SQLite file or a PostgreSQL address")
    ap.add_argument("--questions", required=True)
    ap.add_argument("--history")
    ap.add_argument("--ais", default=",".join(AIS))
    ap.add_argument("--show", action="store_true")
    opt = ap.parse_args(argv)
    from Corvalt import Assistant, evaluation
    from Corvalt.Quillon import is_server_target

    for key in ("metadata", "db", "questions", "history"):
        if getattr(opt, key) and not (key == "db" and is_server_target(opt.db)):
            setattr(opt, key, os.path.abspath(getattr(opt, key)))

    questions = evaluation.read_questions(opt.questions)
    gold = evaluation.gold_results(opt.db, questions)
    gold_of = {q.text: q.gold_sql for q in questions if q.answerable}
    for kind in opt.ais.split(","):
        if kind not in AIS:
            print(f"unknown AI kind {kind!r}; one of {', '.join(AIS)}", file=sys.stderr)
            return 2
        ai, begin = None, (lambda text: None)
        if kind == "oracle":
            ai = Oracle(gold_of)

            def begin(text, ai=ai):
                ai.question = text
        elif kind == "sighted":
            import eval_prompt

            schema = eval_prompt.read_schema(opt.metadata)
            items = {item.question.text: item for item in eval_prompt.read_items(opt.questions, schema)}
            ai = eval_prompt.SightedAI(schema)

            def begin(text, ai=ai, items=items):
                if text is not None:
                    ai.begin(items[text])
        started = time.perf_counter()
        # The fix log goes to a scratch directory: no fix is reused across runs or left behind.
        with tempfile.TemporaryDirectory() as scratch, contextlib.chdir(scratch):
            with contextlib.redirect_stdout(io.StringIO()):
                assistant = Assistant(opt.db, opt.metadata, opt.history, mindloom=ai)

            class Asker:
                @staticmethod
                def ask(question, previous_sql=None, chat_history=None):
                    begin(question if question in gold_of else None)
                    with contextlib.redirect_stdout(io.StringIO()):
                        return assistant.ask(question, previous_sql, chat_history)

            outcomes = evaluation.evaluate(Asker, questions, opt.db, gold=gold)
        print(f"== AI: {kind} ({len(questions)} questions in {time.perf_counter() - started:.1f} s)")
        print(evaluation.report_text(outcomes, show=opt.show))
        print()
    return 0


if __name__ == "__main__":
    sys.exit(main())
