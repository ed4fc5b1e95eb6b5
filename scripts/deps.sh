#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; only what is missing.
# Sourced by run.sh and test.sh.

ZELVANOR_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libarchive-dev libsqlite3-dev libcli11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic qt6-translations-l10n
)

# Only for scripts/fuzz.sh: libFuzzer comes with clang's runtime libraries.
ZELVANOR_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

zelvanor_install_deps() {
  local missing=()
  local p
  for p in "${ZELVANOR_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
