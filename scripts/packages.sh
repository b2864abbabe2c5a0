# Sourced by the run and test scripts: installs what building and testing need, once.
SHREDDER_PACKAGES=(cmake make g++ googletest libgtest-dev g++-mingw-w64-x86-64-posix
  wine64 fonts-wine fonts-wqy-microhei xvfb xauth locales imagemagick xdotool
  e2fsprogs coreutils time)

ensure_packages() {
  local missing=()
  for p in "${SHREDDER_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}. Run this script as root (or sudo) to install them." >&2
    return 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
