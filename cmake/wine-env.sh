# Sourced by every script that runs Wine: one prefix per use, no debug
# output, no Mono or Gecko install prompts. Wine maps Windows file names to
# Unix ones through the locale's character set, so it always runs under a
# UTF-8 locale that every Debian has, whatever the caller's locale is.
veltrix_wine_env() {
  export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
}
