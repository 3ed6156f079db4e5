"""The programs the benchmarks start, and how each is started.

Every program runs as a first start in a Sandbox: fresh home, configuration, cache, data and
runtime folders, and Orvane from a fresh copy of its folder (the executable and every
liborvane*.so beside it), so that its Orvane.ini does not exist yet and no earlier instance is
found. Program.prepare() returns the command line without the address, or raises Skip with the
reason the program cannot run here (not built, window library missing, not installed).
"""

import os
import shutil
import tempfile
from dataclasses import dataclass, field

# Kinds of program.
GTK_FLOOR = "gtk-floor"  # build/bench/bench_floor_gtk
ORVANE = "orvane"  # build/orvane with its window library
PEER = "peer"  # another small browser, when installed

# The engine's switches that matter on a display whose OpenGL is a software renderer.
NO_DMABUF = {"WEBKIT_DISABLE_DMABUF_RENDERER": "1"}
CPU_RENDERING = {"WEBKIT_SKIA_ENABLE_CPU_RENDERING": "1"}
NO_COMPOSITING = {"WEBKIT_DISABLE_COMPOSITING_MODE": "1"}
# bench_floor_gtk's switch for webkit_settings_set_hardware_acceleration_policy(NEVER).
NEVER = ("--software",)
# bench_floor_gtk's switch to set WEBKIT_DISABLE_DMABUF_RENDERER=1 itself, before gtk_init.
OWN_NO_DMABUF = ("--no-dmabuf",)


class Skip(Exception):
    """The program cannot run here; the message says why."""


@dataclass(frozen=True)
class Program:
    name: str
    kind: str
    about: str
    env: dict = field(default_factory=dict)
    args: tuple = ()  # options before the address
    library: str = ""  # ORVANE: the window library it loads from its folder
    commands: tuple = ()  # PEER: the executable's possible names, first found wins
    reference: str = ""  # ORVANE: the floor its targets are against
    wrapper: tuple = ()  # PEER: a command it runs under, when found

    def prepare(self, build, box):
        """The command line without the address, for a start in `box`."""
        if self.kind == GTK_FLOOR:
            return [executable(os.path.join(build, "bench", "bench_floor_gtk")), *self.args]
        if self.kind == ORVANE:
            return [orvane_copy(build, self.library, box), *self.args]
        if self.wrapper and not shutil.which(self.wrapper[0]):
            raise Skip(f"{self.wrapper[0]} is not installed")
        for command in self.commands:
            found = shutil.which(command)
            if found:
                return [*self.wrapper, found, *(a.replace("{root}", box.root) for a in self.args)]
        raise Skip(f"{' or '.join(self.commands)} is not installed")

    def address(self, page, mail):
        """The command-line argument that opens `page`: Orvane takes "home,mail"."""
        return f"{page},{mail}" if self.kind == ORVANE else page


def executable(path):
    if not os.access(path, os.X_OK):
        raise Skip(f"{path} is missing; build it first")
    return path


def orvane_copy(build, library, box):
    """Copies the executable and every liborvane*.so of the build folder into a new folder of
    the sandbox; returns the copy's executable."""
    orvane = executable(os.path.join(build, "orvane"))
    if not os.path.exists(os.path.join(build, library)):
        raise Skip(f"{os.path.join(build, library)} is missing; build it first")
    folder = os.path.join(box.root, "orvane")
    os.makedirs(folder, exist_ok=True)
    exe = os.path.join(folder, "orvane")
    shutil.copy2(orvane, exe)
    for name in os.listdir(build):
        if name.startswith("liborvane") and ".so" in name:
            shutil.copy2(os.path.join(build, name), folder, follow_symlinks=False)
    return exe


# The GTK floor with the software settings Orvane uses on a display whose OpenGL can only be
# a software renderer (Xvfb's is): see bench/README.md, "WebKitGTK on a software display".
# The program sets the switch itself, as Orvane's GTK window is to do once it has asked the
# display, so that the figure also shows that a switch set at run time takes effect.
GTK_SOFTWARE_ARGS = (*NEVER, *OWN_NO_DMABUF)
GTK_SOFTWARE_ENV = {}

# GNOME Web keeps its profile in a folder of the sandbox. Its web processes talk to it over the
# session bus and end at once without one: it runs under a private bus of its own, whose
# dbus-daemon (a few MiB) is then counted in its tree.
EPIPHANY_ARGS = ("--profile={root}/epiphany",)
SESSION_BUS = ("dbus-run-session", "--")

PROGRAMS = (
    # The GTK floor with Orvane's software settings, and Orvane held to it.
    Program("floor-gtk", GTK_FLOOR, "GTK floor, Orvane's software settings",
            env=GTK_SOFTWARE_ENV, args=GTK_SOFTWARE_ARGS),
    Program("orvane-gtk", ORVANE, "Orvane", env={},
            library="liborvane_gtk.so", reference="floor-gtk"),
    # The floor with a web context that keeps its data as Orvane's does.
    Program("gtk-persistent", GTK_FLOOR, "floor-gtk with a persistent context like Orvane's",
            env=GTK_SOFTWARE_ENV, args=(*GTK_SOFTWARE_ARGS, "--persistent")),
    # What each of WebKitGTK's software settings buys, one by one and together.
    Program("gtk-default", GTK_FLOOR, "GTK floor as it comes"),
    Program("gtk-never", GTK_FLOOR, "acceleration policy NEVER", args=NEVER),
    Program("gtk-never-nodmabuf", GTK_FLOOR, "NEVER + no DMA-BUF renderer", env=NO_DMABUF,
            args=NEVER),
    Program("gtk-never-cpu", GTK_FLOOR, "NEVER + Skia CPU rendering", env=CPU_RENDERING,
            args=NEVER),
    Program("gtk-nodmabuf", GTK_FLOOR, "no DMA-BUF renderer (policy as it comes)",
            env=NO_DMABUF),
    Program("gtk-cpu", GTK_FLOOR, "Skia CPU rendering (policy as it comes)", env=CPU_RENDERING),
    Program("gtk-never-nodmabuf-cpu", GTK_FLOOR, "NEVER + no DMA-BUF + CPU rendering",
            env={**NO_DMABUF, **CPU_RENDERING}, args=NEVER),
    Program("gtk-nodmabuf-cpu", GTK_FLOOR, "no DMA-BUF + CPU rendering (policy as it comes)",
            env={**NO_DMABUF, **CPU_RENDERING}),
    Program("gtk-nocomp", GTK_FLOOR, "WEBKIT_DISABLE_COMPOSITING_MODE", env=NO_COMPOSITING),
    Program("gtk-nocomp-nodmabuf-cpu", GTK_FLOOR, "no compositing + no DMA-BUF + CPU rendering",
            env={**NO_COMPOSITING, **NO_DMABUF, **CPU_RENDERING}),
    # Other small browsers on the same engine, when installed: as they come, and with the one
    # software switch that can be given to them from outside (the DMA-BUF renderer off), which
    # carries nearly all of the floor's gain on a software display.
    Program("surf", PEER, "surf as it comes", commands=("surf",)),
    Program("surf-nodmabuf", PEER, "surf without the DMA-BUF renderer", env=NO_DMABUF,
            commands=("surf",)),
    Program("epiphany", PEER, "GNOME Web as it comes", commands=("epiphany-browser", "epiphany"),
            args=EPIPHANY_ARGS, wrapper=SESSION_BUS),
    Program("epiphany-nodmabuf", PEER, "GNOME Web without the DMA-BUF renderer", env=NO_DMABUF,
            commands=("epiphany-browser", "epiphany"), args=EPIPHANY_ARGS, wrapper=SESSION_BUS),
)
BY_NAME = {p.name: p for p in PROGRAMS}
ALIASES = {"orvane": "orvane-gtk"}
GROUPS = {
    "gtk": ("floor-gtk", "orvane-gtk"),
    "gtk-settings": tuple(p.name for p in PROGRAMS if p.name.startswith("gtk-")),
    "peers": tuple(p.name for p in PROGRAMS if p.kind == PEER),
}
GROUPS["all"] = tuple(p.name for p in PROGRAMS)
DEFAULT = (*GROUPS["gtk"], *GROUPS["peers"])


def select(names):
    """The programs named by a comma-separated list of names, aliases and groups, in table
    order; raises ValueError naming the unknown ones."""
    if not names:
        return [BY_NAME[n] for n in DEFAULT]
    wanted, unknown = set(), []
    for word in names.split(","):
        word = ALIASES.get(word, word)
        if word in GROUPS:
            wanted.update(GROUPS[word])
        elif word in BY_NAME:
            wanted.add(word)
        else:
            unknown.append(word)
    if unknown:
        raise ValueError(", ".join(unknown))
    return [p for p in PROGRAMS if p.name in wanted]


INHERITED_SWITCHES = ("LIBGL_ALWAYS_SOFTWARE",)


class Sandbox:
    """Fresh home, configuration, cache, data and runtime folders for one start."""

    def __init__(self, extra_env=None):
        self.root = tempfile.mkdtemp(prefix="orvane-bench-")
        # Only what each program is given: none of the switches under test from outside.
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith("WEBKIT_") and k not in INHERITED_SWITCHES}
        for name, sub in (("HOME", "home"), ("XDG_CONFIG_HOME", "home/.config"),
                          ("XDG_CACHE_HOME", "home/.cache"), ("XDG_DATA_HOME", "home/.local/share"),
                          ("XDG_RUNTIME_DIR", "run")):
            path = os.path.join(self.root, sub)
            os.makedirs(path, mode=0o700, exist_ok=True)
            self.env[name] = path
        self.env.update(extra_env or {})

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)
