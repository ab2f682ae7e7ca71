# Sourced by the Windows checks: `wine` as a function that runs a program
# once more when Wine itself lost its server as it started ("wine client
# error: ... Connection reset by peer", "wine: ... cannot connect to it"),
# which happens now and then on a busy machine between one program's end
# and the next one's start. That run failed for Wine, not for the program; a
# program that fails in any other way is not run again. Each rerun is said
# on the script's own standard error (kept as fd 3), apart from what callers
# capture. The program's standard error comes out once it has ended.
exec 3>&2
wine() {
  local errors rc attempt
  errors=$(mktemp)
  for attempt in 1 2; do
    rc=0
    command wine "$@" 2>"$errors" || rc=$?
    if ((rc == 0 || attempt == 2)) || ! grep -Eq '^wine client error|^wine: .*(server|connect)' "$errors"; then
      break
    fi
    local line="wine $*"
    echo "RETRY: Wine lost its server as it started: ${line:0:200}: $(head -c 200 "$errors")" >&3
  done
  cat "$errors" >&2
  rm -f "$errors"
  return "$rc"
}
