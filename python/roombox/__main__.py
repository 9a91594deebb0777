"""python3 -m roombox: the roombox command line, with its output and exit status."""

import sys

from . import _roombox


def main() -> int:
    return _roombox._run_command_line(["roombox"] + sys.argv[1:])


if __name__ == "__main__":
    sys.exit(main())
