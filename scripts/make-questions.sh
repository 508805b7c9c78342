#!/usr/bin/env bash
# Writes a small example file with tree and string features to standard
# output: questions asking for a person (+1) or for something else (-1), each
# with its parse tree (tree:1:) and its tokens (string:1:). Made from word
# lists, so the same file comes out every time.
set -euo pipefail

verbs=(wrote painted invented discovered founded directed built sang)
objects=("hamlet" "the radio" "penicillin" "the telephone" "guernica" "a bridge")
whs=("what:WHNP:WP:is:VBZ" "where:WHADVP:WRB:is:VBZ" "when:WHADVP:WRB:was:VBD")

# "the radio" -> (NP#(DT#the)#(NN#radio)); "hamlet" -> (NP#(NN#hamlet))
np() {
  local out="(NP" w
  for w in $1; do
    if [[ $w == the || $w == a ]]; then out+="#(DT#$w)"; else out+="#(NN#$w)"; fi
  done
  echo "$out)"
}

tokens() { echo "${*// /#}"; }

for obj in "${objects[@]}"; do
  for verb in "${verbs[@]}"; do
    echo "+1 tree:1:(SBARQ#(WHNP#(WP#who))#(SQ#(VP#(VBD#$verb)#$(np "$obj")))#(.#?))" \
      "string:1:$(tokens "who $verb $obj ?")"
  done
  for wh in "${whs[@]}"; do
    IFS=: read -r word phrase tag verb verbTag <<<"$wh"
    echo "-1 tree:1:(SBARQ#($phrase#($tag#$word))#(SQ#($verbTag#$verb)#$(np "$obj"))#(.#?))" \
      "string:1:$(tokens "$word $verb $obj ?")"
  done
done
