# A private sound server for the Play tests, sourced by them: a PulseAudio
# daemon of its own in a short temporary folder, with one null sink, and a
# capture of that sink's monitor. Clients find it through PULSE_SERVER.
#   start_server RATE CHANNELS [SINK ARGUMENTS]   sets $server_dir, exports PULSE_SERVER
#   start_capture FILE RATE CHANNELS               records the sink as raw s16le
#   stop_capture, stop_server, kill_server
# The stops succeed whatever is left to stop, so that scripts with set -e
# may call them (also from a trap on EXIT).
# The sink does not rewind, so that its monitor hears every frame once.

server_dir='' capture_pid=''

start_server() {
  local rate=$1 channels=$2
  shift 2
  server_dir=$(mktemp -d /tmp/swp.XXXXXX)
  mkdir -p "$server_dir/home"
  # The daemon is told where to live; it warns that it runs as root.
  HOME="$server_dir/home" XDG_RUNTIME_DIR="$server_dir" PULSE_SERVER='' \
    pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes --log-level=error \
    -L "module-null-sink sink_name=sweepwav_test rate=$rate channels=$channels format=s16le norewinds=1 $*" \
    -L "module-native-protocol-unix auth-anonymous=1" 2>/dev/null
  export PULSE_SERVER="unix:$server_dir/pulse/native"
  local tries
  for tries in $(seq 100); do
    pactl info >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "FAIL: the sound server did not start" >&2
  return 1
}

server_pid() { cat "$server_dir/pulse/pid" 2>/dev/null || true; }

# Waits until a stream of the given kind (sink-inputs, source-outputs) is
# connected; fails after 20 seconds.
wait_for_stream() {
  local tries
  for tries in $(seq 200); do
    [[ -n $(pactl list short "$1" 2>/dev/null) ]] && return 0
    sleep 0.1
  done
  echo "FAIL: no $1 connected" >&2
  return 1
}

# Large buffers: a loaded machine must not make the capture lose frames.
start_capture() {
  parec --raw --format=s16le --rate="$2" --channels="$3" -d sweepwav_test.monitor --latency-msec=500 >"$1" &
  capture_pid=$!
  wait_for_stream source-outputs
}

stop_capture() {
  if [[ -n $capture_pid ]]; then
    kill "$capture_pid" 2>/dev/null || true
    wait "$capture_pid" 2>/dev/null || true
  fi
  capture_pid=''
}

kill_server() {
  local pid
  pid=$(server_pid)
  [[ -z $pid ]] || kill -KILL "$pid" 2>/dev/null || true
  while [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  return 0
}

stop_server() {
  stop_capture
  kill_server
  [[ -z $server_dir ]] || rm -rf "$server_dir"
  server_dir=''
}
