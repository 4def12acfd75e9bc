# Shared set-up of run.sh and test.sh: installs the Debian packages the build needs.
velkmerge_packages=(cmake g++ make libgtest-dev libgmock-dev libcli11-dev nlohmann-json3-dev qt6-base-dev
    qt6-multimedia-dev
    clang libclang-rt-dev libbenchmark-dev)

# Installs the packages named, or the build's own when none is named, where they are missing.
velkmerge_install_packages() {
    local wanted=("$@")
    [ $# -gt 0 ] || wanted=("${velkmerge_packages[@]}")
    local missing=()
    local p
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}
