"""What the benchmark scripts print alike: the machine they ran on and a
median with its spread."""
import datetime
import os
import platform
import statistics
import subprocess


def machine_lines():
    lines = [f"date: {datetime.datetime.now().astimezone().isoformat(timespec='seconds')}",
             f"host: {platform.node()} {platform.system()} {platform.release()}, {os.cpu_count()} processors"]
    try:
        for line in subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines():
            if line.startswith(("Model name:", "CPU family:", "Model:", "Hypervisor vendor:")):
                lines.append("lscpu: " + " ".join(line.split()))
    except OSError:
        pass
    return lines


def spread(values, digits=1):
    """The median and, in brackets, the lowest and the highest value."""
    return f"{statistics.median(values):.{digits}f} ({min(values):.{digits}f}-{max(values):.{digits}f})"
