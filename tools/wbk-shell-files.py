#!/usr/bin/env python3
"""Makes wbk's bash completion and man page from its own help.

    tools/wbk-shell-files.py WBK OUTDIR

WBK is a built wbk (build/release/cli/wbk, for example). Writes
OUTDIR/wbk.bash, the completion (commands, each command's options, the
values of options that take a fixed set, files elsewhere), and OUTDIR/wbk.1,
the man page: help2man over `wbk --help` and `wbk --version`, with a section
per command made from `wbk COMMAND --help`. Without help2man only the
completion is written. Nothing is installed: docs/wbk.md says where the files
go.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

# Words of a help line's first column that say something of the option other
# than the value it takes.
NOT_A_VALUE = {"REQUIRED", "...", "Excludes:", "Needs:"}


def run_help(wbk, *args):
    out = subprocess.run([wbk, *args, "--help"], check=True, capture_output=True, text=True)
    return out.stdout


def sections(text):
    """The help's sections: {title: [lines]}, the lines before any title under ''."""
    result = {"": []}
    current = ""
    for line in text.splitlines():
        m = re.match(r"^([A-Za-z][A-Za-z ]*):\s*$", line)
        if m:
            current = m.group(1).lower()
            result[current] = []
        else:
            result[current].append(line)
    return result


def entries(lines):
    """(first column, description) per entry of a section: an entry starts
    with two blanks, and its description may follow on lines of its own."""
    result = []
    for line in lines:
        if not line.strip():
            continue
        if re.match(r"^  \S", line):
            parts = re.split(r"\s{2,}", line.strip(), maxsplit=1)
            result.append([parts[0], parts[1] if len(parts) > 1 else ""])
        elif result:
            result[-1][1] = (result[-1][1] + " " + line.strip()).strip()
    return result


def option_spec(column):
    """The names, the kind of value it takes ('' none, 'file', 'dir' or
    'other') and the values it may take."""
    first, _, rest = column.partition(" ")
    names = [n for n in first.split(",") if n.startswith("-")]
    words = rest.split()
    kind = ""
    if words and words[0] not in NOT_A_VALUE:
        type_name = words[0].split(":")[0]
        kind = ("dir" if type_name == "DIR" else
                "file" if type_name in ("FILE", "LIB.wbk", "LIST.txt") else "other")
    choices = []
    m = re.search(r"\{([^}]*)\}", column)
    if m:
        choices = m.group(1).split(",")
    return names, kind, choices


def parse(wbk):
    top = sections(run_help(wbk))
    commands = [column for column, _ in entries(top.get("subcommands", []))]
    parsed = {}
    for command in commands:
        text = run_help(wbk, command)
        s = sections(text)
        head = [l for l in s[""] if l.strip()]
        parsed[command] = {
            "description": " ".join(l for l in head if not l.startswith("Usage:")),
            "usage": next((l[len("Usage: "):] for l in head if l.startswith("Usage:")), ""),
            "positionals": entries(s.get("positionals", [])),
            "options": entries(s.get("options", [])),
        }
    top_options = [option_spec(c)[0] for c, _ in entries(top.get("options", []))]
    return commands, parsed, [n for names in top_options for n in names]


def completion(commands, parsed, top_options):
    lines = [
        "# bash completion of wbk, made by tools/wbk-shell-files.py from wbk's help.",
        "_wbk() {",
        '  local cur="${COMP_WORDS[COMP_CWORD]}" prev="${COMP_WORDS[COMP_CWORD-1]}"',
        "  if [ \"$COMP_CWORD\" -eq 1 ]; then",
        '    COMPREPLY=($(compgen -W "%s" -- "$cur"))'
        % " ".join(commands + ["help"] + top_options),
        "    return",
        "  fi",
        '  local options="" files="" dirs="" others="" choices=""',
        '  case "${COMP_WORDS[1]}" in',
    ]
    for command in commands:
        names, kinds, choice_cases = [], {"file": [], "dir": [], "other": []}, []
        for column, _ in parsed[command]["options"]:
            option_names, kind, values = option_spec(column)
            names += option_names
            if kind:
                kinds[kind] += option_names
            if values:
                choice_cases.append(
                    '      %s) choices="%s" ;;' % ("|".join(option_names), " ".join(values)))
        lines.append("    %s)" % command)
        lines.append('      options="%s"' % " ".join(names))
        for kind, variable in (("file", "files"), ("dir", "dirs"), ("other", "others")):
            if kinds[kind]:
                lines.append('      %s=" %s "' % (variable, " ".join(kinds[kind])))
        if choice_cases:
            lines.append('      case "$prev" in')
            lines += ["  " + c for c in choice_cases]
            lines.append("      esac")
        lines.append("      ;;")
    lines += [
        "    help)",
        '      [ "$COMP_CWORD" -eq 2 ] && COMPREPLY=($(compgen -W "%s" -- "$cur"))'
        % " ".join(commands),
        "      return",
        "      ;;",
        "  esac",
        '  if [ -n "$choices" ]; then',
        '    COMPREPLY=($(compgen -W "$choices" -- "$cur"))',
        '  elif [[ "$others" == *" $prev "* ]]; then',
        "    COMPREPLY=()  # a number or a text",
        '  elif [[ "$dirs" == *" $prev "* ]]; then',
        "    compopt -o filenames 2>/dev/null",
        '    COMPREPLY=($(compgen -d -- "$cur"))',
        '  elif [[ "$cur" == -* ]]; then',
        '    COMPREPLY=($(compgen -W "$options" -- "$cur"))',
        "  else",
        "    compopt -o filenames 2>/dev/null",
        '    COMPREPLY=($(compgen -f -- "$cur"))',
        "  fi",
        "}",
        "complete -F _wbk wbk wbk.exe",
        "",
    ]
    return "\n".join(lines)


def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text[:1] in (".", "'") else text


def man_sections(commands, parsed):
    out = ["[COMMANDS]"]
    for command in commands:
        c = parsed[command]
        out.append('.SS "%s"' % roff("wbk " + c["usage"][len("wbk "):]))
        out.append(roff(c["description"]))
        for column, text in c["positionals"] + c["options"]:
            if column.startswith("-h,"):
                continue
            out += [".TP", ".B " + roff(column), roff(text)]
    out += [
        "[EXIT STATUS]",
        "0 when the command did its work, 1 when it did with warnings (for",
        ".B check",
        "findings, for",
        ".B diff",
        "differences), 2 when it failed.",
        "[SEE ALSO]",
        "docs/wbk.md of Tabrix.",
        "",
    ]
    return "\n".join(out)


def main():
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    wbk, outdir = os.path.abspath(sys.argv[1]), sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    commands, parsed, top_options = parse(wbk)
    with open(os.path.join(outdir, "wbk.bash"), "w") as f:
        f.write(completion(commands, parsed, top_options))
    print("wrote " + os.path.join(outdir, "wbk.bash"))
    if shutil.which("help2man") is None:
        print("help2man is not installed (apt-get install help2man): no man page written")
        return 0
    with tempfile.NamedTemporaryFile("w", suffix=".h2m", delete=False) as include:
        include.write(man_sections(commands, parsed))
    try:
        subprocess.run(["help2man", "--no-info", "--name=batch work on phrase library files",
                        "--section=1", "--include=" + include.name,
                        "--output=" + os.path.join(outdir, "wbk.1"), wbk], check=True)
    finally:
        os.unlink(include.name)
    print("wrote " + os.path.join(outdir, "wbk.1"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
