"""A Python program whose locale writes decimal commas reads the example room
and writes every file exactly as in the C locale."""

import subprocess
import sys
import textwrap

from conftest import copy_example, folder_files

PROGRAM = textwrap.dedent("""
    import locale, sys
    import roombox
    if sys.argv[2] != "C":
        locale.setlocale(locale.LC_ALL, sys.argv[2])
        assert locale.localeconv()["decimal_point"] == ","
    folder = sys.argv[1]
    roombox.run(folder, "planes.txt", "room", 2, glb=True, baked_obj=True, preview=True)
    room = roombox.reconstruct(folder + "planes.txt", folder + "shifted_t.png")
    for option, name in ((0, "o.obj"), (1, "c.obj"), (3, "o.off")):
        room.write_mesh(folder + name, option)
    room.write_cuboid_text(folder + "again_cuboid.txt")
    print("%.1f" % 0.5, locale.format_string("%.1f", 0.5))
""")


def test_a_comma_locale_writes_the_files_of_the_c_locale(tmp_path):
    outputs = {}
    for name in ("C", "de_DE.UTF-8"):
        folder = copy_example(str(tmp_path / name.replace(".", "-")))
        done = subprocess.run([sys.executable, "-c", PROGRAM, folder, name],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
        assert done.returncode == 0, done.stderr.decode()
        outputs[name] = (folder, done.stdout.decode())
    c_folder, c_console = outputs["C"]
    de_folder, de_console = outputs["de_DE.UTF-8"]
    # The console lines of run() too; the program's own formatting keeps the
    # locale it chose.
    *c_lines, c_last = c_console.splitlines()
    *de_lines, de_last = de_console.splitlines()
    assert [line.replace(de_folder, c_folder) for line in de_lines] == c_lines
    assert (c_last, de_last) == ("0.5 0.5", "0.5 0,5")
    assert folder_files(de_folder) == folder_files(c_folder)
    assert len(folder_files(c_folder)) == 16
