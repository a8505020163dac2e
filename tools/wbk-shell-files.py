#!/usr/bin/env python3
"""Makes wbk's bash completion and man page from its own help.

    tools/wbk-shell-files.py WBK OUTDIR

WBK is a built wbk (build/release/cli/wbk, for example). Writes
OUTDIR/wbk.bash, the completion (commands, each command's options, the
values of options that take a fixed set, files elsewhere), and OUTDIR/wbk.1,
the man page: help2man over `wbk --help` and `wbk --version`, with a section
per command made from `wbk help COMMAND`. Without help2man only the
completion is written. Nothing is installed: docs/wbk.md says where the files
go.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

# The help's layout (cli/CommandLine.cpp): a command's help is its usage
# lines, its description, then "Options:" with one entry per option, the
# option's names and value in the first column, its text from column 24 on.
OPTION_ENTRY = re.compile(r"^ {2,6}((?:-\w, )?--[\w-]+(?: [A-Z]+)?)\s+(.*)$")
CONTINUED = re.compile(r"^ {24}(\S.*)$")
# A text that begins "auto: ..." lists the values an option takes, each
# before a colon: "auto: ...; gbk: ...", "scel, bdict, qpyd: ...".
CHOICE = re.compile(r"(?:^|; )([a-z0-9-]+(?:, [a-z0-9-]+)*):")


def run_help(wbk, *args):
    out = subprocess.run([wbk, "help", *args], check=True, capture_output=True, text=True)
    return out.stdout


def blocks(text):
    """The help's blocks: {title: [lines]}, a title being a line that ends
    in ':' at the left margin ("Commands:", "Options:"); the lines before
    any title under ''."""
    result = {"": []}
    current = ""
    for line in text.splitlines():
        m = re.match(r"^([A-Z][A-Za-z ]*):$", line)
        if m:
            current = m.group(1).lower()
            result[current] = []
        else:
            result[current].append(line)
    return result


def options(lines):
    """(first column, text) per option entry."""
    result = []
    for line in lines:
        m = OPTION_ENTRY.match(line)
        if m:
            result.append([m.group(1), m.group(2)])
        elif CONTINUED.match(line) and result:
            result[-1][1] += " " + line.strip()
    return result


def option_spec(column, text):
    """The names, the kind of value it takes ('' none, 'file', 'dir' or
    'other') and the values it may take."""
    parts = column.split()
    names = [n.rstrip(",") for n in parts if n.startswith("-")]
    value = parts[-1] if not parts[-1].startswith("-") else ""
    kind = ("" if not value else "dir" if value == "DIR" else
            "file" if value in ("FILE", "LIB", "LIST", "OUT") else "other")
    choices = []
    if value and CHOICE.match(text):
        for group in CHOICE.findall(text):
            choices += group.split(", ")
    return names, kind, choices


def parse(wbk):
    top = blocks(run_help(wbk))
    commands = [line.split()[0] for line in top.get("commands", []) if re.match(r"^  \S", line)]
    parsed = {}
    for command in commands:
        b = blocks(run_help(wbk, command))
        usage = [re.sub(r"^(Usage|   or): ", "", l) for l in b[""]
                 if l.startswith(("Usage: ", "   or: "))]
        description = [l for l in b[""] if not l.startswith(("Usage: ", "   or: "))]
        parsed[command] = {
            "usage": usage,
            "description": "\n".join(description).strip(),
            "options": options(b.get("options", [])),
        }
    top_options = [n for c, t in options(top.get("options of every command", []))
                   for n in option_spec(c, t)[0]]
    return commands, parsed, top_options + ["--version"]


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
        for column, text in parsed[command]["options"]:
            option_names, kind, values = option_spec(column, text)
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
        out.append('.SS "%s"' % roff(command))
        for usage in c["usage"]:
            out += [".br", ".B " + roff(usage)]
        for paragraph in c["description"].split("\n\n"):
            out += [".PP", roff(" ".join(paragraph.split()))]
        for column, text in c["options"]:
            if column.startswith(("-h,", "-q,")):
                continue  # the options of every command, told once
            out += [".TP", ".B " + roff(column), roff(text)]
    out += ["[SEE ALSO]", "docs/wbk.md of Tabrix.", ""]
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
