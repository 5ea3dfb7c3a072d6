"""``python -m Corvalt``: the ``corvalt`` command (see ``Corvalt.cli``)."""

import sys

from Corvalt.cli import main

if __name__ == "__main__":
    sys.exit(main())
