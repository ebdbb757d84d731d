#!/bin/sh
# Stand-in for zenity and kdialog in the file selector tests (the tests link it into a folder
# put first on PATH, under the tool's name). It appends its name, its process id, every argument
# and "--end--" to $STANDIN_LOG, each followed by a zero byte (arguments may hold line breaks),
# then behaves as $STANDIN_MODE says:
#   reply      print $STANDIN_REPLY (printf %b escapes) and exit with $STANDIN_STATUS (default 0)
#   slow       wait 0.4 s (a user choosing), then reply
#   hang       wait forever without printing (a dialog left open)
#   die        kill itself with SIGKILL (a dialog killed from outside)
#   linger     close its output, then wait forever (a tool that never ends)
# Asked for its option list (--help-general), it lists --attach only when $STANDIN_ATTACH is 1.
name="${0##*/}"
PATH=/usr/bin:/bin  # the tests' PATH holds only the stand-ins
if [ "$1" = "--help-general" ]; then
  echo "General options"
  echo "  --title=TITLE                 Set the dialog title"
  if [ "${STANDIN_ATTACH:-0}" = 1 ]; then
    echo "  --attach=WINDOW               Set the parent window to attach to"
  fi
  exit 0
fi
if [ -n "$STANDIN_LOG" ]; then
  {
    printf '%s\0' "$name" "$$"
    for word in "$@"; do printf '%s\0' "$word"; done
    printf '%s\0' "--end--"
  } >> "$STANDIN_LOG"
fi
case "${STANDIN_MODE:-reply}" in
  slow) sleep 0.4 ;;
  hang) exec sleep 1000 ;;
  die) kill -KILL $$ ;;
  linger) exec >&-; exec sleep 1000 ;;
esac
printf '%b' "$STANDIN_REPLY"
exit "${STANDIN_STATUS:-0}"
