# Sourced by the wine scripts: a private 64-bit prefix, quiet, and no offers to install
# Mono or Gecko (their dialogs would wait for a user).
wine_env() {
  export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}
