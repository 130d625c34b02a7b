#!/usr/bin/env python3
"""How a whole `pdehost --json --printer PPD` run compares with a process that only reads the PPD
with libcups (ppd_baseline), side by side in one run, at several PPD sizes and plug-in counts.

Usage: tests/benchmarks/ppd_ratio.py [BUILD_DIR (default build)] [--runs N (default 15)]

The larger PPDs are the 7140K sample with options of ten choices, constraints between them and
translations into twenty languages added, each checked with cupstestppd. Each program runs N times,
the two alternating so that a busy moment of the machine costs both; the medians are compared.
A benchmark, not a test: it prints a table and fails only when a program fails.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import uuid

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAMPLE = os.path.join(SOURCE, "printers", "QUORVEN-v-DX7140K.ppd")
LANGUAGES = ["de", "fr", "it", "es", "nl", "sv", "da", "fi", "nb", "pl",
             "cs", "hu", "pt", "ru", "tr", "ja", "zh_CN", "zh_TW", "ko", "el"]


def grown_ppd(options, languages, path):
    """The sample with `options` more options, ten constraints per option and every option and
    choice translated into the first `languages` languages."""
    with open(SAMPLE, encoding="latin-1") as sample:
        text = sample.read()
    if options == 0 and languages == 0:
        shutil.copyfile(SAMPLE, path)
        return
    header, rest = text.split("\n*OpenGroup:", 1)
    lines = [header, "*OpenGroup: Extra/Extra options"]
    if languages:
        lines.insert(1, '*cupsLanguages: "%s"' % " ".join(LANGUAGES[:languages]))
    for number in range(options):
        name = "Extra%d" % number
        lines += ["*OpenUI *%s/Extra option %d: PickOne" % (name, number),
                  "*OrderDependency: 50 AnySetup *%s" % name,
                  "*Default%s: C0" % name]
        lines += ['*%s C%d/Choice %d: "<</Extra%d %d>>setpagedevice"' % (name, choice, choice, number, choice)
                  for choice in range(10)]
        lines.append("*CloseUI: *%s" % name)
    lines.append("*CloseGroup: Extra")
    for number in range(options):
        for step in range(1, 6):
            other = (number + step) % options
            if other != number:
                lines.append("*UIConstraints: *Extra%d C9 *Extra%d C8" % (number, other))
                lines.append("*UIConstraints: *Extra%d C8 *Extra%d C9" % (other, number))
    body = "\n".join(lines) + "\n*OpenGroup:" + rest
    # With *cupsLanguages every option and choice needs its text in every language.
    choices = {}
    for line in body.splitlines():
        if line.startswith("*OpenUI *"):
            choices[line[len("*OpenUI *"):].split("/")[0].split(":")[0]] = []
    for line in body.splitlines():
        words = line[1:].split(" ", 1) if line.startswith("*") else []
        if len(words) == 2 and words[0] in choices and "/" in words[1].split(":")[0]:
            choices[words[0]].append(words[1].split("/")[0])
    translations = []
    for language in LANGUAGES[:languages]:
        for option, names in choices.items():
            translations.append('*%s.Translation %s/%s %s: ""' % (language, option, option, language))
            translations += ['*%s.%s %s/%s: ""' % (language, option, name, name) for name in names]
    with open(path, "w", encoding="latin-1") as out:
        out.write(body + "\n".join(translations) + "\n")
    check = subprocess.run(["cupstestppd", "-q", path], capture_output=True, text=True)
    if check.returncode != 0:
        sys.exit("cupstestppd refuses %s:\n%s" % (path, check.stdout + check.stderr))


def plugin_folder(build, count, folder):
    """`count` bundles: the three panes, then copies of them under factories and names of their own."""
    os.makedirs(folder)
    bundles = sorted(entry for entry in os.listdir(os.path.join(build, "plugins")) if entry.endswith(".plugin"))
    for index in range(count):
        original = bundles[index % len(bundles)]
        name = original if index < len(bundles) else "Copy%d%s" % (index, original)
        target = os.path.join(folder, name)
        shutil.copytree(os.path.join(build, "plugins", original), target, symlinks=True)
        if index >= len(bundles):
            info = os.path.join(target, "Contents", "Info.plist")
            with open(info) as plist:
                text = plist.read()
            factory = text.split("<key>CFPlugInFactories</key>")[1].split("<key>")[1].split("</key>")[0]
            text = text.replace(factory, str(uuid.uuid4()).upper())
            with open(info, "w") as plist:
                plist.write(text)


def median_seconds(command, runs, other):
    """Medians of `runs` runs of command and of other, alternating."""
    times = ([], [])
    for _ in range(runs):
        for index, argv in enumerate((command, other)):
            start = time.perf_counter()
            result = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            times[index].append(time.perf_counter() - start)
            if result.returncode != 0:
                sys.exit("%s failed (%d): %s" % (" ".join(argv), result.returncode, result.stderr.decode()))
    return statistics.median(times[0]), statistics.median(times[1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(SOURCE, "build"))
    parser.add_argument("--runs", type=int, default=15)
    arguments = parser.parse_args()
    build = os.path.abspath(arguments.build)
    pdehost = os.path.join(build, "host", "pdehost", "pdehost")
    baseline = os.path.join(build, "tests", "benchmarks", "ppd_baseline")
    with tempfile.TemporaryDirectory() as work:
        folders = {}
        for count in (3, 30):
            folders[count] = os.path.join(work, "plugins-%d" % count)
            plugin_folder(build, count, folders[count])
        print("| PPD | added options | languages | bundles | pdehost --json (ms) | libcups only (ms) | ratio |")
        print("|---|---:|---:|---:|---:|---:|---:|")
        # About 15 KB, 100 KB, 600 KB and 2 MB, written first: a PPD younger than two seconds is
        # also compared byte for byte at each open, which is not what an installed PPD costs.
        grown = []
        for extra, languages in ((0, 0), (60, 1), (300, 3), (900, 4)):
            ppd = os.path.join(work, "grown-%d-%d.ppd" % (extra, languages))
            grown_ppd(extra, languages, ppd)
            grown.append((extra, languages, ppd))
        time.sleep(2.5)
        for extra, languages, ppd in grown:
            size = os.path.getsize(ppd)
            for count, folder in folders.items():
                ours, theirs = median_seconds([pdehost, "--json", "--plugins", folder, "--printer", ppd],
                                              arguments.runs, [baseline, ppd])
                print("| %d KB | %d | %d | %d | %.1f | %.1f | %.2f |" % (
                    round(size / 1024), extra, languages, count, ours * 1000, theirs * 1000, ours / theirs))
                sys.stdout.flush()


if __name__ == "__main__":
    main()
