# Shared by scripts/test, scripts/demo and scripts/fuzz: installs the Debian
# packages the build needs when any is missing, then configures and builds
# a preset (default: into build/; asan and tsan: build-asan/, build-tsan/).
# Sourced, not run.

TALVERO_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-webengine-dev qt6-multimedia-dev libqt6opengl6-dev
  libcurl4-openssl-dev libcpp-httplib-dev libssl-dev openssl
  wamerican libbenchmark-dev libhunspell-dev hunspell-en-us
  dpkg-dev file desktop-file-utils appstream lintian man-db
  qtkeychain-qt6-dev gnome-keyring dbus libxss-dev
  libqt6sql6-sqlite
  xvfb openbox tint2 dunst xdotool xclip imagemagick x11-utils x11-xserver-utils dbus-daemon dbus-bin fonts-dejavu-core
  at-spi2-core python3-pyatspi
  qt6-wayland libwayland-dev sway waybar wtype grim weston
)

talvero_install_missing() {
  local missing=() pkg
  for pkg in "${TALVERO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "need root or sudo to install ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

talvero_build() {
  local preset=${1:-default} dir=build
  [ "$preset" = default ] || dir=build-$preset
  if [ ! -f "$dir/build.ninja" ]; then
    cmake --preset "$preset"
  fi
  cmake --build --preset "$preset"
}
