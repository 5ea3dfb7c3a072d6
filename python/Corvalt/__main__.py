"""``python -m Corvalt``: the demonstration of the schema knowledge service."""

import sys


def main() -> int:
    from Corvalt import Atlanor

    Atlanor.main()
    return 0


if __name__ == "__main__":
    sys.exit(main())
