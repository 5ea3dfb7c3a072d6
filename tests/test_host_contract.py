"""What the service classes promise a host besides their results: they take part in
garbage collection, help() shows their real signatures, and the committed type
stubs are the ones the modules generate."""

import gc
import os
import pathlib
import pydoc
import re
import subprocess
import sys
import typing
import weakref

import pytest

import Corvalt
from Corvalt.Atlanor import AtlanorService
from Corvalt.Echovane import EchovaneService
from Corvalt.Quillon import Quillon

REPO = pathlib.Path(__file__).resolve().parent.parent
PACKAGE_ROOT = os.path.dirname(os.path.dirname(Corvalt.__file__))
ENV = dict(os.environ, PYTHONPATH=PACKAGE_ROOT)


class Holder:  # a host object that refers back to the service holding it
    pass


# ---- garbage collection -------------------------------------------------------------------------


def hold_in_metadata(svc, holder, tmp_path):
    svc.metadata = {"tables": {}}
    svc.metadata["holder"] = holder  # the host changes the dict the service keeps


def hold_in_queries(svc, holder, tmp_path):
    (tmp_path / "history.json").write_text('{"enriched_queries": [{"question": "q"}]}')
    svc.load_history(str(tmp_path / "history.json"))
    svc.queries.append(holder)


def hold_as(name):
    return lambda svc, holder, tmp_path: setattr(svc, name, holder)


CYCLES = [(cls, hold) for cls in (AtlanorService, EchovaneService, Quillon)
          for hold in (hold_as("mindloom"), hold_as("verbose"),
                       {AtlanorService: hold_in_metadata, EchovaneService: hold_in_queries}.get(cls))
          if hold]  # Quillon keeps no host container of its own


@pytest.mark.parametrize("cls, hold", CYCLES)
def test_a_cycle_through_what_the_service_holds_is_collected(cls, hold, tmp_path):
    holder, svc = Holder(), cls()
    hold(svc, holder, tmp_path)
    holder.svc = svc
    gone = weakref.ref(holder)
    del svc, holder
    gc.collect()
    assert gone() is None


LEAK_SCRIPT = """
import gc, importlib, sys, weakref
cls = getattr(importlib.import_module(sys.argv[1]), sys.argv[2])
class AI:
    pass
ai = AI()
ai.svc = cls(mindloom=ai)
gone = weakref.ref(ai)
del ai
gc.collect()
print(gone() is None)
"""


@pytest.mark.parametrize("module, name", [
    ("Corvalt.Atlanor", "AtlanorService"),
    ("Corvalt.Echovane", "EchovaneService"),
    ("Corvalt.Quillon", "Quillon"),
])
def test_no_instance_is_left_at_exit(module, name):
    run = subprocess.run([sys.executable, "-c", LEAK_SCRIPT, module, name], capture_output=True,
                         text=True, env=ENV, timeout=120)
    assert run.returncode == 0, run.stderr
    assert run.stdout.split() == ["True"]
    assert "leaked" not in run.stderr


# ---- signatures ---------------------------------------------------------------------------------


def signature_docs(cls):
    """(name, doc) of __init__, every method and both accessors of every property."""
    for name, member in vars(cls).items():
        if name.startswith("__") and name != "__init__" or not (callable(member) or isinstance(member, property)):
            continue
        accessors = [member.fget, member.fset] if isinstance(member, property) else [member]
        for f in accessors:
            if f is not None:
                yield name, f.__doc__


@pytest.mark.parametrize("cls", [AtlanorService, EchovaneService, Quillon])
def test_every_method_and_property_shows_named_typed_parameters_and_a_docstring(cls):
    names = set()
    for name, doc in signature_docs(cls):
        names.add(name)
        signature, _, text = doc.partition("\n\n")
        assert signature.startswith(name + "(self") and " -> " in signature, doc
        # What the bindings show when they say nothing: 'arg: object'.
        assert not re.search(r"\b(object|arg\d*)\b", signature), signature
        assert text.strip(), name
    assert {"__init__", "verbose", "mindloom"} <= names
    # The names the signatures use exist in the modules.
    assert sys.modules[cls.__module__].Record == dict[str, typing.Any]


def test_help_shows_the_signatures():
    text = pydoc.render_doc(EchovaneService, renderer=pydoc.plaintext)
    assert "find_strong_match(self, question: str) -> Record | None" in text


# ---- type stubs ---------------------------------------------------------------------------------


def test_committed_stubs_are_the_generated_ones():
    run = subprocess.run([sys.executable, str(REPO / "scripts" / "gen_stubs.py"), "--check"], capture_output=True, text=True, env=ENV, timeout=300)
    assert run.returncode == 0, run.stderr


def test_stub_check_reports_a_stale_stub(tmp_path):
    # The check reads the stubs beside the script: a copy of the two whose stub lacks a method.
    script, stub = tmp_path / "scripts" / "gen_stubs.py", tmp_path / "python" / "Corvalt" / "Echovane.pyi"
    for path in (script, stub):
        path.parent.mkdir(parents=True)
        path.write_bytes((REPO / path.relative_to(tmp_path)).read_bytes())
    stub.write_text(re.sub(r"\n    def _get_query_details.*", "\n", stub.read_text(), flags=re.S))
    stale = stub.read_text()
    run = subprocess.run([sys.executable, str(script), "--check", "Echovane"], capture_output=True,
                         text=True, env=ENV, timeout=300)
    assert run.returncode == 1
    assert "+    def _get_query_details(self, index: int) -> Record | None:" in run.stderr
    assert stub.read_text() == stale  # --check writes nothing
