"""lanvisor-run.exe under Wine: a run against the device simulator prints
the block and writes a trace file that the window's load command shows as
if the window had received the block itself."""
import threading

from device_sim import TcpServer
from lanvisor_e2e import scenario
from scenarios_trace_files import load_trace
from scenarios_view import HELLO, MainWindowLayout, hello_problem, wait_grid


@scenario("runner")
def runner_trace_loads_in_the_window(ctx):
    device = ctx.device(TcpServer())
    # The device greets once the runner has connected; the runner listens.
    greeter = threading.Thread(target=lambda: (device.wait_connections(1, timeout=60), device.send(HELLO)),
                               daemon=True)
    greeter.start()
    code, out, err = ctx.run_console("lanvisor-run.exe", "--tcp-client", f"127.0.0.1:{device.port}", "--listen",
                                     "3", "--lang", "en", "--trace", "run.log")
    greeter.join(10)
    assert code == 0, f"exit {code}\n{out}\n{err}"

    app = ctx.launch()
    load_trace(ctx, app, "run.log")
    wait_grid(ctx, MainWindowLayout(app), "loaded", hello_problem)
    app.end()
