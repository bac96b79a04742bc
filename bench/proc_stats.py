"""What /proc tells of a running process, for the benchmark scripts."""

import os

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def stat_fields(pid):
    """/proc/PID/stat's fields from the third (the state) on: the name before
    them may hold blanks and parentheses."""
    with open("/proc/%d/stat" % pid) as f:
        return f.read().rsplit(")", 1)[1].split()


def cpu_seconds(pid):
    """User and system time of all the process's threads so far."""
    fields = stat_fields(pid)
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def niceness(pid):
    return int(stat_fields(pid)[16])


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def open_descriptors(pid):
    return len(os.listdir("/proc/%d/fd" % pid))
