// The console program's help text.
#pragma once

namespace console {

inline constexpr char kUsage[] =
    "Usage: parlocon [OPTION]... [--] SETTINGS-FILE\n"
    "       parlocon --help | --version\n"
    "\n"
    "Copies every new or changed file of the source folder named in SETTINGS-FILE into\n"
    "each destination folder and last into the master folder. A file counts as changed\n"
    "when it differs from the master's copy by size, time or attributes, as the settings\n"
    "choose. Nothing is ever deleted.\n"
    "\n"
    "A SETTINGS-FILE name without \"/\" is taken from the current folder. Options come\n"
    "before it; \"--\" ends them, for a name that begins with \"-\". Arguments after\n"
    "SETTINGS-FILE are ignored.\n"
    "\n"
    "Options:\n"
    "  -n, --dry-run  scan and compare as a run does and print the very lines it would\n"
    "                 print, but write nothing anywhere: no folder, no copy\n"
    "      --stats    after the run, write one line to standard error: files listed,\n"
    "                 copies made, bytes copied, failures, seconds\n"
    "      --parallel=N  at most N copies under way at once (1: one after the other),\n"
    "                 for this run, over the settings file's Parallel key\n"
    "      --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "Standard output: \"Get list of files...\", then \"Copy <source path>\" after every\n"
    "copy, each line ended by CR LF. Standard error: one line per failure, each\n"
    "starting with \"parlocon: \".\n"
    "\n"
    "Exit codes:\n"
    "   0  the run finished and every copy was made (also when no argument is given)\n"
    "   1  ended early: standard output failed, or the run could not go on\n"
    "   2  the settings file cannot be read\n"
    "   3  the run finished, but something failed (see standard error)\n"
    "  64  the command line is wrong: an unknown option, or no settings file\n";

}  // namespace console
