# Sourced by the set-up scripts: installs the Debian packages the build needs, only when one is missing.
ORVANE_PACKAGES="g++ cmake ninja-build pkg-config qt6-base-dev libudev-dev libgtest-dev libgmock-dev
libbenchmark-dev xvfb xauth"

orvane_install_packages() {
    local missing=()
    local pkg
    for pkg in $ORVANE_PACKAGES "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
