# Shared by the scripts in this folder: installs missing Debian packages and
# builds the project. Sourced, not run.

TOVRIMO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TOVRIMO_BUILD=${TOVRIMO_BUILD:-$TOVRIMO_ROOT/build}

# What building needs.
BUILD_PACKAGES=(build-essential cmake pkg-config qt6-base-dev libgtest-dev libbenchmark-dev)
# What the running program needs beyond Qt: the Chinese faces it asks for,
# the desktop's opener for the promotion link, and the SVG support that
# draws the window's icon.
RUN_PACKAGES=(fonts-arphic-ukai fonts-arphic-uming xdg-utils libqt6svg6)
# What the tests need beyond building: an X server, a window manager to
# frame the window, tools that drive it, and the checkers and builders of
# what gets installed (desktop entry, AppStream metadata, Debian package).
TEST_PACKAGES=(xvfb xauth xdotool xclip openbox desktop-file-utils appstream dpkg-dev file)
# What the benchmarks need beyond building.
BENCH_PACKAGES=(hyperfine)
# What fuzzing needs: clang with libFuzzer and the sanitizers' runtimes, and
# Qt Core for the text codec.
FUZZ_PACKAGES=(cmake clang-14 libclang-rt-14-dev qt6-base-dev)

# ensure_packages <package...>: installs those that are not installed yet,
# as root or through sudo. Quiet and quick when nothing is missing.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      as_root=(sudo)
    else
      echo "Missing Debian packages: ${missing[*]}" >&2
      echo "Run this script as root, or install sudo, to have them installed." >&2
      return 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # A fresh system has no package lists yet; fetch them only when needed.
  if ! "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    "${as_root[@]}" apt-get update -q
    "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

# build_project [cmake options...]: configures once, then builds what changed.
build_project() {
  if [ ! -f "$TOVRIMO_BUILD/CMakeCache.txt" ]; then
    cmake -S "$TOVRIMO_ROOT" -B "$TOVRIMO_BUILD" "$@"
  fi
  cmake --build "$TOVRIMO_BUILD" -j"$(nproc)"
}
