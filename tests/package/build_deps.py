#!/usr/bin/env python3
"""usage: build_deps.py WORK. Each recipe declares (build-deps.txt) what a traced configure looks for: the build's
needs unconditionally, the tests' (tests/) at least under its test condition; and nothing that stands for none."""
import json, pathlib, re, subprocess, sys

src, work = pathlib.Path(__file__).resolve().parents[2], pathlib.Path(sys.argv[1])


def keys_of(cmd, args):  # what one call looks for; an optional find (no REQUIRED) does not count
    names = [a for a in args[1:] if a not in ("REQUIRED", "QUIET", "IMPORTED_TARGET", "COMPONENTS")]
    if cmd == "enable_language":
        return ["language:" + a for a in args]
    if cmd == "project":
        return ["language:" + a for a in args[args.index("LANGUAGES") + 1:]] if "LANGUAGES" in args else []
    if cmd == "pkg_get_variable":  # the build stops where the variable is empty
        return ["pkg-config:" + args[1]]
    if "REQUIRED" not in args:
        return []
    if cmd == "find_package":
        return [args[0]] + [args[0] + "/" + n for n in names]
    if cmd == "pkg_check_modules":
        return ["pkg-config:" + re.split("[<>=]", n)[0] for n in names]
    return ["program:" + names[0]] if cmd == "find_program" else []


def looked_for():  # {key: "build" or "check"}
    trace = work / "trace.json"
    recipes = ["-DQUELVO_BENCHMARKS=OFF", "-DQUELVO_DISPLAY_TESTS=OFF", "-DBUILD_TESTING=ON"]
    subprocess.run(["cmake", "-S", src, "-B", work / "build", *recipes, "--trace-expand", "--trace-format=json-v1",
                    f"--trace-redirect={trace}"], check=True, stdout=subprocess.DEVNULL)
    needs = {}
    for call in map(json.loads, trace.open()):
        path = pathlib.Path(call.get("file", "/"))
        if src in path.parents:
            kind = "check" if path.relative_to(src).parts[0] == "tests" else "build"
            for key in keys_of(call["cmd"].lower(), call["args"]):
                needs[key] = "build" if needs.get(key) == "build" else kind
    return needs


def declared():  # {family: {package: "build", "check" or "runtime"}}, as each recipe states them
    control = (src / "debian/control").read_text().split("\n\n")[0] + "\nEnd"
    field = re.search(r"^Build-Depends:(.*?)^\S", control, re.M | re.S).group(1)
    deb = {e.split()[0]: "check" if "<!nocheck>" in e else "build" for e in field.split(",") if e.strip()}
    rpm, kind = {}, "build"
    for line in (src / "packaging/rpm/quelvo.spec").read_text().splitlines():
        kind = {"%if %{with tests}": "check", "%endif": "build"}.get(line.strip(), kind)
        if line.startswith("BuildRequires:"):
            rpm[line.split()[1]] = kind
    arch = subprocess.run(["bash", "-c", 'source "$0"; printf "%s runtime\\n" "${depends[@]}"; printf "%s build\\n" '
                           '"${makedepends[@]}"; printf "%s check\\n" "${checkdepends[@]}"', src / "packaging/arch/PKGBUILD"],
                          check=True, capture_output=True, text=True).stdout
    return {"Debian": deb, "Fedora": rpm, "Arch": dict(l.split() for l in arch.splitlines() if l[0] != " ")}


rows = [line.split("|") for line in (src / "tests/package/build-deps.txt").read_text().splitlines() if "|" in line]
table = {r[0].strip(): dict(zip(("Debian", "Fedora", "Arch"), (c.split() for c in r[1:]))) for r in rows if r[0][0] != "#"}
needs = looked_for() | {k: k.split(":")[0] for k in table if k.startswith(("build:", "check:"))}
faults = [f"{k}: not in tests/package/build-deps.txt" for k in needs if k not in table]
for family, has in declared().items():
    wanted = {}
    for key in (k for k in needs if k in table):
        for p in table[key][family]:
            wanted[p] = "build" if wanted.get(p) == "build" else needs[key]
    faults += [f"{family}: {p} is missing" for p in wanted if p not in has and p != "-"]
    faults += [f"{family}: {p} is needed by the build, not only by its tests" for p in wanted
               if wanted[p] == "build" and has.get(p) == "check"]
    faults += [f"{family}: {p} stands for nothing looked for" for p in has if p not in wanted and has[p] != "runtime"]
print("\n".join(faults) or f"{len(needs)} needs, declared by all three recipes")
sys.exit(bool(faults))
