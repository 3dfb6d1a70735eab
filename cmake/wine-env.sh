# Sourced by every script that runs Wine: one prefix per use, no debug
# output, no Mono or Gecko install prompts.
veltrix_wine_env() {
  export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}
