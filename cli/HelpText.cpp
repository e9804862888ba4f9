#include "CommandLine.h"

namespace cli {

std::string helpText(const std::string& programName) {
    return "Usage: " + programName +
           " [options] FILE...\n"
           "Validates EBU STL subtitle files with the Sievra plug-in, using the rule settings of\n"
           "the Lumtrace validation window, and prints the findings of each file as a table\n"
           "(#, module, type, message). The plug-in, Sievra.zkx, is looked for beside this\n"
           "program, then in ../lib/lumtrace/ from this program's folder.\n"
           "\n"
           "Options:\n"
           "  --xml PATH     also write each report in the validation window's XML format.\n"
           "                 One file: PATH is the report file (or an existing folder to put\n"
           "                 it in). Several files: PATH is a folder, created if missing, with\n"
           "                 one report per file named after it (film.stl gives film.xml;\n"
           "                 a name met again gets -2, -3, ... before .xml). Existing reports\n"
           "                 are replaced.\n"
           "  -q, --quiet    print one summary line per file instead of the table\n"
           "  -v, --verbose  also show the plug-in host's diagnostic lines on stderr\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "  --format FORMAT       print json, junit, sarif or csv on stdout instead of the\n"
           "                        tables (default text)\n"
           "  --report FORMAT:PATH  also write a report in FORMAT (json, junit, sarif, csv or\n"
           "                        xml) to PATH, named like --xml; may be repeated\n"
           "  --fail-on LEVEL       what makes exit status 1: error (default), warning\n"
           "                        (an Error or a Warning finding) or never\n"
           "  -j, --jobs N          validate N files at once (default: one per core)\n"
           "  -r, --recursive       walk the subfolders of a folder argument too\n"
           "  -0, --null            file names read from stdin end with NUL, not a line end\n"
           "  --profile NAME|FILE   check with a delivery profile (teletext,\n"
           "                        teletext-children, streaming, or a profile file) for this\n"
           "                        run only; the saved settings stay as they are\n"
           "  --set RULE=VALUE      switch delivery rule RULE on with threshold VALUE for this\n"
           "                        run (--set 505=15.5); may be repeated\n"
           "  --list-rules          print every rule with its switch, type and threshold as\n"
           "                        the run would use them, and exit\n"
           "\n"
           "A folder argument stands for its .stl files (any case); '-' reads file names from\n"
           "stdin, one per line (find ... -print0 | " +
           programName +
           " -0 -).\n"
           "With several files and stderr on a terminal, one progress line per file goes to\n"
           "stderr. Lines the plug-in writes on stderr during a file are shown after its name;\n"
           "--quiet hides them unless --verbose is given too.\n"
           "\n"
           "Exit status:\n"
           "  0  every file was validated and none gave an Error finding\n"
           "  1  every file was validated and at least one gave an Error finding\n"
           "  2  a file could not be validated (missing, unreadable, not an STL file), a report\n"
           "     could not be written, the plug-in could not be loaded, or the command line\n"
           "     was wrong\n"
           "A file not validated outranks an Error finding: the status is 2, and the summary\n"
           "and the reports still show both.\n";
}

}  // namespace cli
