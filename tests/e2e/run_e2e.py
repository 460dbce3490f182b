#!/usr/bin/env python3
"""Runs the end-to-end scenarios (tests/e2e/scenarios_*.py) against the built
program under Wine and writes GoogleTest-style XML results.

    run_e2e.py --program build/win/program --driver build/win/tools/lvdriver.exe \\
               --template-prefix build/win/wineprefix --results build/win/test-results/e2e.xml

One fresh Wine prefix for the run (a copy of the template, which
tools/setup.sh's ensure_wine_prefix makes, as test.sh does),
one fresh program folder per scenario. Uses $DISPLAY when it works, else its
own Xvfb. Prints one line per scenario; exit status 1 if any failed.
"""
import argparse
import fnmatch
import importlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import xml.etree.ElementTree as ET
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import lanvisor_e2e as e2e  # noqa: E402


class ScenarioTimeout(BaseException):
    """Raised in the scenario when its time is up; not an Exception, so that
    a scenario cannot swallow it by accident."""


def load_scenarios():
    # Imported by name, so that a scenario file that uses another one's
    # helpers gets the module already loaded and nothing registers twice.
    for path in sorted(HERE.glob("scenarios_*.py")):
        importlib.import_module(path.stem)
    return list(e2e.SCENARIOS)


def display_works(display):
    if not display:
        return False
    return subprocess.run(["xdpyinfo"], env=dict(os.environ, DISPLAY=display), stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def start_xvfb():
    number = 90
    while Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
        number += 1
    display = f":{number}"
    process = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while not display_works(display):
        if time.monotonic() > deadline or process.poll() is not None:
            process.kill()
            raise RuntimeError("Xvfb did not start")
        time.sleep(0.1)
    return display, process


def run_one(scenario, args, session, driver, work_dir):
    artifacts = work_dir / f"{scenario.full_name}-artifacts"
    artifacts.mkdir(parents=True, exist_ok=True)
    ctx = e2e.Context(scenario, session, driver, args.program, work_dir, args.screenshots, artifacts)
    failure = None

    def time_up(signum, frame):
        raise ScenarioTimeout()

    start = time.monotonic()
    signal.signal(signal.SIGALRM, time_up)
    signal.setitimer(signal.ITIMER_REAL, scenario.timeout)
    try:
        scenario.function(ctx)
    except ScenarioTimeout:
        failure = (f"timed out after {scenario.timeout} s", traceback.format_exc())
    except AssertionError as error:
        failure = (str(error) or "assertion failed", traceback.format_exc())
    except Exception as error:
        failure = (f"{type(error).__name__}: {error}", traceback.format_exc())
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
    cleanup_errors = ctx.cleanup(failure is not None)
    if cleanup_errors and not failure:
        failure = ("cleanup: " + "; ".join(cleanup_errors), "")
    if failure:
        kept = Path(args.results).parent / "e2e-failures" / scenario.full_name
        shutil.rmtree(kept, ignore_errors=True)
        shutil.copytree(artifacts, kept)
    shutil.rmtree(artifacts, ignore_errors=True)
    return time.monotonic() - start, failure


def write_results(path, outcomes, total_time):
    def counts(group, seconds):
        return dict(tests=str(len(group)), failures=str(sum(1 for o in group if o[2])), disabled="0", errors="0",
                    time=f"{seconds:.3f}")

    root = ET.Element("testsuites", name="e2e", **counts(outcomes, total_time))
    suites = {}
    for outcome in outcomes:
        suites.setdefault(outcome[0].suite, []).append(outcome)
    for name, group in suites.items():
        suite = ET.SubElement(root, "testsuite", name=name, **counts(group, sum(o[1] for o in group)))
        for scenario, seconds, failure in group:
            case = ET.SubElement(suite, "testcase", name=scenario.name, status="run", result="completed",
                                 time=f"{seconds:.3f}", classname=scenario.suite)
            if failure:
                ET.SubElement(case, "failure", message=failure[0], type="").text = failure[1]
    Path(path).parent.mkdir(parents=True, exist_ok=True)
    ET.ElementTree(root).write(path, encoding="UTF-8", xml_declaration=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", type=Path, required=True, help="folder with Lanvisor.exe")
    parser.add_argument("--driver", type=Path, required=True, help="lvdriver.exe")
    parser.add_argument("--template-prefix", type=Path, required=True, help="prepared Wine prefix to copy")
    parser.add_argument("--results", type=Path, required=True, help="XML results file to write")
    parser.add_argument("--only", action="append", default=[], help="run scenarios matching this pattern")
    parser.add_argument("--keep", action="store_true", help="keep the run's temporary folder")
    args = parser.parse_args()
    # Wine wants absolute paths, and the scenarios run in other folders.
    for name in ("program", "driver", "template_prefix", "results"):
        setattr(args, name, getattr(args, name).resolve())
    args.screenshots = args.results.parent / "e2e-screenshots"

    scenarios = load_scenarios()
    if args.only:
        scenarios = [s for s in scenarios if any(fnmatch.fnmatch(s.full_name, p) or p in s.full_name
                                                 for p in args.only)]
    if not scenarios:
        print("no scenarios selected")
        return 1
    for required in (args.program / "Lanvisor.exe", args.driver, args.template_prefix):
        if not required.exists():
            print(f"missing {required}")
            return 1

    # Cleanup below also runs when the run is interrupted or terminated.
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(128 + signum))
    # Screenshots and failure evidence are those of the latest run.
    for folder in (args.screenshots, args.results.parent / "e2e-failures"):
        shutil.rmtree(folder, ignore_errors=True)
    work_dir = Path(tempfile.mkdtemp(prefix="lanvisor-e2e-"))
    xvfb = None
    outcomes = []
    started = time.monotonic()
    try:
        display = os.environ.get("DISPLAY", "")
        if not display_works(display):
            display, xvfb = start_xvfb()
        session = e2e.WineSession(work_dir / "prefix", display)
        driver = e2e.Driver(session, args.driver)
        print(f"preparing Wine prefix {session.prefix}", flush=True)
        session.prepare(args.template_prefix)
        print(f"prefix ready after {time.monotonic() - started:.1f} s", flush=True)
        for scenario in scenarios:
            seconds, failure = run_one(scenario, args, session, driver, work_dir)
            outcomes.append((scenario, seconds, failure))
            verdict = "PASS" if not failure else "FAIL"
            line = f"{verdict} {scenario.full_name} ({seconds:.1f} s)"
            print(line + (f": {failure[0]}" if failure else ""), flush=True)
            if failure and failure[1]:
                print(failure[1], flush=True)
    finally:
        if (work_dir / "prefix").exists():
            e2e.WineSession(work_dir / "prefix", "").kill_all()
        if xvfb:
            xvfb.terminate()
            xvfb.wait(10)
        if args.keep:
            print(f"kept {work_dir}")
        else:
            shutil.rmtree(work_dir, ignore_errors=True)
    total = time.monotonic() - started
    write_results(args.results, outcomes, total)
    failed = sum(1 for o in outcomes if o[2])
    print(f"e2e: {len(outcomes) - failed} passed, {failed} failed in {total:.1f} s")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
