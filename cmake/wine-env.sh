# Sourced by every script that runs Wine: one prefix per use, no debug
# output, no Mono or Gecko install prompts. Wine maps Windows file names to
# Unix ones through the locale's character set, so it always runs under a
# UTF-8 locale that every Debian has, whatever the caller's locale is.
veltrix_wine_env() {
  export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
}

# Makes the prefix of veltrix_wine_env once and keeps it. Wine takes a while
# over a new prefix, behind a "please wait" box of its own, so it is made on
# a display of its own before any program starts in it. Fails when there is
# still no prefix afterwards.
veltrix_wine_prefix() {
  [[ -f $WINEPREFIX/system.reg ]] && return 0
  mkdir -p "$WINEPREFIX" || return 1
  xvfb-run -a bash -c 'wine wineboot -i; wineserver -w' </dev/null >/dev/null 2>&1
  [[ -f $WINEPREFIX/system.reg ]]
}
