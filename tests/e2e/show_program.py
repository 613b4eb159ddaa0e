"""Shows the program once, as the main job does: starts it in simulated-mouse
mode on a virtual display, opens its window from the notification area and
saves screenshots of the start and of both pages.

Usage: show_program.py <installation folder> <kvsimctl.exe> <screenshot dir> [--keep]

Without --keep the program is ended from its tray menu and the display is
stopped. With --keep both stay, and the display's name is printed.
"""

import os
import sys
import time

import winedesk as wd

ADVANCED_TAB = (96, 88, 136, 128)
PAGE_TITLE = (160, 99, 352, 135)
BASIC_TAB = (52, 88, 92, 128)
EMPTY_SPOT = (400, 40)


def main(argv):
    keep = "--keep" in argv
    args = [a for a in argv if a != "--keep"]
    if len(args) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    folder, kvsimctl, shots = args
    os.makedirs(shots, exist_ok=True)
    world = wd.World(os.path.join(os.path.dirname(os.path.abspath(folder)), "world"), kvsimctl)
    world.start()
    leave_running = False
    try:
        program = wd.Program(world, folder).start()
        print(f"run: started the program on the virtual display {world.display}")
        wd.wait_for("the start-up notice", lambda: _balloon_shown(world, program.start_notice.log), timeout=120)
        wd.wait_for("the start-up balloon on the screen", world.balloon_ids, timeout=20)
        time.sleep(0.3)
        world.screenshot(os.path.join(shots, "start.png"))

        program.tray_click()
        program.wait_shown()
        world.move(*program.client_point(*EMPTY_SPOT))
        program.wait_still()
        program.grab_client().save(os.path.join(shots, "basic-page.png"))
        title = program.grab_client(PAGE_TITLE)
        program.click_rect(ADVANCED_TAB)
        program.wait_change(PAGE_TITLE, title, "the advanced page's title")
        world.move(*program.client_point(*EMPTY_SPOT))
        program.wait_still()
        program.grab_client().save(os.path.join(shots, "advanced-page.png"))
        program.click_rect(BASIC_TAB)
        world.move(*program.client_point(*EMPTY_SPOT))
        for name in ("start.png", "basic-page.png", "advanced-page.png"):
            print(f"run: screenshot {os.path.join(shots, name)}")

        if keep:
            leave_running = True
            print(f"run: the program keeps running on DISPLAY={world.display}; end it with its tray menu's Exit"
                  f" or with `WINEPREFIX={os.environ.get('WINEPREFIX', '')} wineserver -k`,"
                  f" then stop the virtual display with `kill {world.xvfb.pid}`")
            return 0
        program.tray_click(button=3, park=False)
        try:
            menu = wd.wait_for("the tray menu", program.popups, timeout=8)
        except wd.E2EError:
            program.tray_click(button=3, park=False)  # once more, as a person would
            menu = wd.wait_for("the tray menu", program.popups, timeout=15)
        world.click(*wd.menu_item_point(menu[0], wd.TRAY_EXIT))
        code = program.wait_exit(30)
        print(f"run: the program ended with code {code}")
        return 0 if code == 0 else 1
    finally:
        if not leave_running:
            world.stop()


def _balloon_shown(world, mark):
    return any(title in ("Info", "Warning") for title, _ in world.log.tooltips_since(mark))


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
