#!/usr/bin/env python3
"""Checks a Qt translation catalogue (.ts) before it is compiled into the program.

A translation that loses a placeholder shows the wrong value or none at all, a lost or altered tag
breaks the rich text of a panel or dialog, and a lost accelerator leaves a menu without its key.
lrelease accepts all of these silently, so this script refuses them:

- every entry is finished (no type="unfinished", no empty translation);
- the placeholders (%1 .. %99, %L1, %n, %Ln) are the same as in the source, in any order;
- the HTML tags, with their attributes, and the entities (&quot; ...) are the same as in the source;
- a source with an accelerator (&F) keeps one, on the same letter, and one only;
- line breaks and a trailing "..." or "…" are kept;
- a numerus entry carries %n in every form.

Entries that lupdate marked vanished or obsolete are skipped: they are not compiled.

Usage: check_ts.py [catalogue.ts ...]   (default: resources/translations/*.ts of this repository)
Exit status: 0 when every entry passes, 1 when any fails, 2 when a file cannot be read.
"""

import collections
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r"%L?(?:n|\d{1,2})")
TAG = re.compile(r"<[^<>]+>")
ENTITY = re.compile(r"&(?:#\d+|#x[0-9A-Fa-f]+|[A-Za-z][A-Za-z0-9]*);")
SKIPPED_TYPES = {"vanished", "obsolete"}


def placeholders(text):
    return collections.Counter(PLACEHOLDER.findall(text))


def tags(text):
    return collections.Counter(re.sub(r"\s+", " ", tag) for tag in TAG.findall(text))


def entities(text):
    return collections.Counter(ENTITY.findall(text))


def accelerators(text):
    """The letters marked with a single '&' outside entities ('&&' is a literal ampersand)."""
    plain = ENTITY.sub("", TAG.sub("", text)).replace("&&", "")
    return [match.group(1).upper() for match in re.finditer(r"&([^\s&])", plain)]


def describe(counter):
    return ", ".join(sorted(counter.elements())) or "none"


def compare(source, translation, numerus):
    """Returns the faults of one translated form against its source."""
    faults = []
    if not translation:
        return ["empty translation"]
    if numerus:
        if "%n" not in translation and "%Ln" not in translation:
            faults.append("numerus form without %n")
    elif placeholders(source) != placeholders(translation):
        faults.append("placeholders differ: source has %s, translation has %s"
                      % (describe(placeholders(source)), describe(placeholders(translation))))
    if numerus:
        # %n may be written %Ln in a form; the other placeholders must match as usual.
        strip = lambda counter: collections.Counter(
            {key: value for key, value in counter.items() if key not in ("%n", "%Ln")})
        if strip(placeholders(source)) != strip(placeholders(translation)):
            faults.append("placeholders differ: source has %s, translation has %s"
                          % (describe(placeholders(source)), describe(placeholders(translation))))
    if tags(source) != tags(translation):
        missing = tags(source) - tags(translation)
        extra = tags(translation) - tags(source)
        faults.append("tags differ: missing %s; extra %s" % (describe(missing), describe(extra)))
    if entities(source) != entities(translation):
        faults.append("entities differ: source has %s, translation has %s"
                      % (describe(entities(source)), describe(entities(translation))))
    source_keys = accelerators(source)
    translation_keys = accelerators(translation)
    if len(source_keys) != len(translation_keys):
        faults.append("accelerators differ: source has %s, translation has %s"
                      % (source_keys or "none", translation_keys or "none"))
    elif source_keys != translation_keys:
        faults.append("accelerator letter differs: source &%s, translation &%s"
                      % ("".join(source_keys), "".join(translation_keys)))
    if source.count("\n") != translation.count("\n"):
        faults.append("line breaks differ: source has %d, translation has %d"
                      % (source.count("\n"), translation.count("\n")))
    for ellipsis in ("...", "\u2026"):
        if source.rstrip().endswith(ellipsis) and not translation.rstrip().endswith(ellipsis):
            faults.append("trailing '%s' lost" % ellipsis)
    return faults


def check_file(path):
    """Returns (entries checked, list of fault lines); raises on unreadable XML."""
    root = ET.parse(path).getroot()
    checked = 0
    report = []
    for context in root.iter("context"):
        context_name = context.findtext("name", default="")
        for message in context.iter("message"):
            source = message.findtext("source", default="")
            translation = message.find("translation")
            kind = translation.get("type", "") if translation is not None else ""
            if kind in SKIPPED_TYPES:
                continue
            checked += 1
            numerus = message.get("numerus") == "yes"
            if translation is None or kind == "unfinished":
                faults = ["unfinished"]
            elif numerus:
                forms = [form.text or "" for form in translation.iter("numerusform")]
                faults = [] if forms else ["numerus entry without forms"]
                for index, form in enumerate(forms):
                    faults += ["form %d: %s" % (index, fault) for fault in compare(source, form, True)]
            else:
                faults = compare(source, translation.text or "", False)
            for fault in faults:
                report.append("%s: [%s] %r: %s" % (path, context_name, source[:70], fault))
    return checked, report


def main(arguments):
    paths = [pathlib.Path(argument) for argument in arguments]
    if not paths:
        repository = pathlib.Path(__file__).resolve().parents[2]
        paths = sorted((repository / "resources" / "translations").glob("*.ts"))
    status = 0
    for path in paths:
        try:
            checked, report = check_file(path)
        except (OSError, ET.ParseError) as error:
            print("%s: cannot be read: %s" % (path, error), file=sys.stderr)
            return 2
        for line in report:
            print(line)
        print("%s: %d entries checked, %d faults" % (path, checked, len(report)))
        if report:
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
