"""A screensaver host made with another toolkit (Tk), for the end-to-end
tests: a toplevel holding a frame whose X window id it prints as
"window 0x...", then does to it what a settings dialog does, one stdin line
at a time, answering each:
  withdraw    hide the toplevel (a dialog closed to the tray)   -> "withdrawn"
  iconify     minimise it (needs a window manager)              -> "iconified"
  deiconify   show it again                                     -> "shown"
  cover W H   map an override-redirect toplevel of that size at 0,0, over
              everything else                                   -> "covered"
  uncover     destroy that cover                                -> "uncovered"
  destroy     destroy the frame the preview draws in            -> "destroyed"
Options: --size WxH of the frame; --no-frame prints no window and only
serves cover/uncover (for covering another program's window)."""

import sys
import threading
import tkinter


def main():
    size = "160x120"
    args = sys.argv[1:]
    if "--size" in args:
        size = args[args.index("--size") + 1]
    width, height = (int(v) for v in size.split("x"))
    root = tkinter.Tk()
    root.title("tk preview host")
    frame = None
    if "--no-frame" in args:
        root.withdraw()
    else:
        frame = tkinter.Frame(root, width=width, height=height, background="gray")
        frame.pack()
        root.update()
        print("window 0x%x" % frame.winfo_id(), flush=True)
    cover = []

    def handle(line):
        words = line.split()
        if not words:
            return
        if words[0] == "withdraw":
            root.withdraw()
            answer = "withdrawn"
        elif words[0] == "iconify":
            root.iconify()
            answer = "iconified"
        elif words[0] == "deiconify":
            root.deiconify()
            answer = "shown"
        elif words[0] == "cover":
            top = tkinter.Toplevel(root, background="black")
            top.overrideredirect(True)
            top.geometry("%sx%s+0+0" % (words[1], words[2]))
            top.lift()
            cover.append(top)
            answer = "covered"
        elif words[0] == "uncover":
            while cover:
                cover.pop().destroy()
            answer = "uncovered"
        elif words[0] == "destroy" and frame is not None:
            frame.destroy()
            answer = "destroyed"
        else:
            answer = "unknown " + words[0]
        root.update()
        print(answer, flush=True)

    def read_commands():
        for line in sys.stdin:
            root.after(0, handle, line)
        root.after(0, root.destroy)

    threading.Thread(target=read_commands, daemon=True).start()
    root.mainloop()


if __name__ == "__main__":
    main()
