#!/usr/bin/env bash
# Builds Kelvor, then shows it at work on two small examples: the bundled
# heart_scale file (real features) and a generated file of questions with
# tree and string features. Everything it writes goes to <build>/demo.
# Usage: scripts/demo.sh [extra cmake args]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/build.sh" "$@"
build="${KELVOR_BUILD_DIR:-$root/build}"
demo="$build/demo"
mkdir -p "$demo"
cd "$demo"
bash "$root/scripts/make-questions.sh" >questions.dat

step() {
  printf '\n== %s\n' "$1"
  shift
  printf '$ %s\n' "$*"
  "$@"
}

# Momentum and room for more iterations let both runs converge (no warning
# that the iterations ran out), each in well under a second.
step "Learn from real features (radial-basis kernel)" \
  "$build/KelvorLearn" -t 2 -g 0.1 --mu 0.9 -i 100000 "$root/data/heart_scale" heart_scale.model
step "Learn from tree and string features" \
  "$build/KelvorLearn" --mu 0.9 -i 100000 questions.dat questions.model
step "Classify with the real-feature model: values and a precision/recall graph" \
  "$build/KelvorClassify" --pr-graph heart_scale.graph heart_scale.model \
  "$root/data/heart_scale" heart_scale.values
step "Classify the questions" \
  "$build/KelvorClassify" questions.model questions.dat questions.values

printf '\nModels, values and graph written to %s\n' "$demo"
