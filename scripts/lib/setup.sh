# Shared by scripts/run and scripts/test: installs the Debian packages the
# build needs (only what is missing) and configures a build folder once.

WENDLE_PACKAGES=(
  # The desktop suite: its own X server, window manager and compositor, and XTest for its hands.
  openbox xcompmgr libxtst-dev libxext-dev
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-image-formats-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  libglib2.0-dev libx11-dev libxcb1-dev libxfixes-dev xdg-utils xvfb
  libpng-dev libwebp-dev libheif-dev zlib1g-dev libsimdjson-dev
  fonts-dejavu-core fonts-droid-fallback
  adwaita-icon-theme hicolor-icon-theme
)

wendle_missing_packages() {
  local pkg missing=()
  for pkg in "${WENDLE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  echo "${missing[@]}"
}

wendle_install_packages() {
  local missing
  missing=$(wendle_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Wendle needs these packages; install them, then run this again:" >&2
    echo "  sudo apt-get install -y $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  # shellcheck disable=SC2086
  apt-get install -y -q --no-install-recommends $missing >/dev/null 2>&1 || {
    apt-get update -q >/dev/null
    apt-get install -y -q --no-install-recommends $missing
  }
}

# wendle_build <folder> <build type> [targets...]
# Cache entries in WENDLE_CMAKE_OPTIONS (e.g. "-DWENDLE_WERROR=ON") are set on every call.
wendle_build() {
  local dir=$1 type=$2
  shift 2
  local options
  read -r -a options <<<"${WENDLE_CMAKE_OPTIONS:-}"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${options[@]}" >/dev/null
  elif [ ${#options[@]} -gt 0 ]; then
    cmake -B "$dir" "${options[@]}" >/dev/null
  fi
  cmake --build "$dir" -j "$(nproc)" ${1:+--target "$@"}
}
