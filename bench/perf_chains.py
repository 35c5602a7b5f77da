"""Reads the records of `perf script` with call chains: a header line (which
starts with a space when a short thread id is padded), then one line per frame
("<tab>address symbol (object)"), then an empty line. Shared by own_share.py
and off_cpu.py, which read their own fields from the header."""
import re

FRAME = re.compile(r"\s*[0-9a-f]+\s+(.*?)\s+\((.*)\)\s*$")


def records(lines):
    """Yields (header line, [(symbol, object), ...]) per record."""
    head, chain = None, []
    for line in lines:
        line = line.rstrip("\n")
        if not line.strip():
            if head is not None:
                yield head, chain
            head, chain = None, []
        elif not line.startswith("\t"):
            head, chain = line, []
        else:
            frame = FRAME.match(line)
            if frame:
                chain.append((frame.group(1), frame.group(2)))
    if head is not None:
        yield head, chain
