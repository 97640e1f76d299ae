# Sourced by the bench scripts. start_xvfb WxH starts an Xvfb on a free display number
# (-displayfd) and sets xvfb (its pid) and xvfb_display (":N").
start_xvfb() {
  local fd number
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 "$1x24" -nolisten tcp -noreset 2>/dev/null &
  xvfb=$!
  read -r -t 20 number <&"$fd"
  exec {fd}>&-
  xvfb_display=":$number"
}
