"""``python -m Corvalt``: the ``corvalt`` command (see ``Corvalt.cli``).

Without arguments it runs the schema service's demonstration in the working
directory, as it always has (``corvalt demo`` runs it on the bundled sample).
"""

import sys


def main() -> int:
    if len(sys.argv) <= 1:
        from Corvalt import Atlanor

        Atlanor.main()
        return 0
    from Corvalt.cli import main as cli_main

    return cli_main()


if __name__ == "__main__":
    sys.exit(main())
