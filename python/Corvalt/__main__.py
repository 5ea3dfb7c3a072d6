"""``python -m Corvalt``: the ``corvalt`` command (see ``Corvalt.cli``), arguments and all.

Without arguments it is a usage error, as ``corvalt`` alone is; ``corvalt demo`` runs
the schema service's demonstration.
"""

import sys

from Corvalt.cli import main

if __name__ == "__main__":
    sys.exit(main())
