#!/usr/bin/env python3
"""Makes the big inputs of this scenario at run time, below the folder given as argument
(drive C:), so that they are never kept in the repository. The runner runs it before the
program; tests/e2e/tools/make_bad_input_scenarios.py holds what it writes."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import make_bad_input_scenarios  # noqa: E402

make_bad_input_scenarios.generate("bad_answer_megabyte_line", sys.argv[1])
