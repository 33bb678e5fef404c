#!/bin/sh
# Walks the wizard by hand with `quillamor-sim play` in a tmux pane: a quick list and a custom
# list on the example profile, help and a link on the way, then leaving; checks the saved
# lists that it prints and that the terminal is given back. A second walk leaves with Ctrl+C
# while the categories dialog is open. Then two custom lists in a row on an 80 x 24 terminal
# and on the smallest one drawn on (80 x 20), every page whole with its way out shown; and a
# terminal smaller than that, which asks to be made larger. Last, the same profile on a ribbon
# host, whose Home tab holds the wizard's button and Update List, which is off until one
# distribution list is selected.
#   walkthrough.sh QUILLAMOR_SIM PROFILE.json
set -eu

sim=$1
profile=$2
command -v tmux >/dev/null 2>&1 || { echo "SKIP: tmux is not installed"; exit 77; }

work=$(mktemp -d)
# A tmux server of our own, so that nothing else's sessions are touched.
export TMUX_TMPDIR="$work"
unset TMUX
pane=walk
cleanup() {
    tmux kill-server 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    echo "--- screen:"
    tmux capture-pane -p -t "$pane" 2>/dev/null || true
    echo "--- printed:"
    cat "$work/out" 2>/dev/null || true
    cat "$work/err" 2>/dev/null || true
    exit 1
}

# Starts a walk in a fresh pane, 140 x 36 (wide enough for the status line's longest text)
# unless told otherwise, on the profile given or the test's own.
start() {
    rm -f "$work/out" "$work/err" "$work/rc"
    # The server of the walk before may still be on its way out: try again while it goes.
    i=0
    until tmux -u -f /dev/null new-session -d -s "$pane" -x "${1:-140}" -y "${2:-36}" \
        "LC_ALL=C.UTF-8 '$sim' play '${3:-$profile}' >'$work/out' 2>'$work/err'; echo \$? >'$work/rc'; sleep 60" 2>/dev/null; do
        i=$((i + 1))
        [ $i -lt 40 ] || fail "tmux does not start"
        sleep 0.05
    done
}

# Waits (up to 20 s: the machine may be busy with other builds and tests) until the screen
# shows the text.
see() {
    i=0
    while [ $i -lt 400 ]; do
        if tmux capture-pane -p -t "$pane" | grep -qF -- "$1"; then return 0; fi
        sleep 0.05
        i=$((i + 1))
    done
    fail "the screen never showed: $1"
}

keys() { tmux send-keys -t "$pane" "$@"; }

# Waits until the walk has ended, then checks that it ended well and gave the terminal back.
ended() {
    i=0
    while [ ! -s "$work/rc" ] && [ $i -lt 400 ]; do
        sleep 0.05
        i=$((i + 1))
    done
    [ -s "$work/rc" ] || fail "the walk did not end"
    [ "$(cat "$work/rc")" = 0 ] || fail "exit status $(cat "$work/rc")"
    [ ! -s "$work/err" ] || fail "it complained"
    [ "$(tmux display-message -p -t "$pane" '#{alternate_on}')" = 0 ] || fail "the terminal was not given back"
    tmux kill-session -t "$pane"
}

printed() { grep -qxF -- "$1" "$work/out" || fail "not printed: $1"; }

# --- a quick list, then a custom list
start
see 'The toolbar button "Quillamor Wizard" is there'
keys Enter
see 'Quillamor - Start Up'
see '[ < Back ]'
keys h
see 'Help viewer started: c:\windows\hh.exe c:\program files\Orvane Corporation\quillamor\Quillamor.chm::/Contacting.htm'
keys 2
see 'Browser opened: http://www.example.com/quillamor/'
# Help has the focus now, so Enter would press it again: N presses Next.
keys n
see 'Quillamor - Work Type'
see '(o) Custom Distribution List'
# From Help, four tabs reach the option group; the arrow selects Quick List.
keys Tab Tab Tab Tab Down
see '(o) Quick List'
see 'After clicking "Next" the default contacts'
keys Enter
see 'Available categories:'
see '[ ] Business'
keys Space Down Down Space
see '[x] Key Customer'
see 'Business, Key Customer'
keys Enter
see 'Do you want to add only one (default) e-mail'
keys y
see 'Thank you for your time.'
keys Enter
see 'Quillamor - Done!'
see 'List "Business, Key Customer" saved with 16 members'
keys y
see 'Quillamor - Work Type'
keys n
see 'Quillamor - Name'
# Plain letters go into the name box; Alt+N presses Next.
tmux send-keys -t "$pane" -l 'Café frends'
see 'Café frends'
keys Left Left Left Left
tmux send-keys -t "$pane" -l 'i'
keys End BSpace BSpace
tmux send-keys -t "$pane" -l 'ds'
see 'Café friends'
keys M-n
see 'Select Folder'
keys Down Enter
see 'Available categories:'
keys Space Enter
see 'Do you want to add only one (default) e-mail'
keys n
see 'Thank you for your time.'
keys Enter
see 'Quillamor - Done!'
see 'List "Café friends" saved with 6 members'
keys n
see 'The toolbar button "Quillamor Wizard" is there'
keys q
ended
printed 'Saved list "Business, Key Customer" (categories "Business, Key Customer"), 16 members:'
printed '    Paula Grant p.grant@mail.example'
printed 'Saved list "Café friends" (categories "Business"), 6 members:'
printed '    Uma Patel uma@home.example'
[ "$(grep -c '^Saved list' "$work/out")" = 2 ] || fail "not two lists"

# --- Ctrl+C in the middle of a run
start
see 'The toolbar button "Quillamor Wizard" is there'
keys w
see 'Quillamor - Start Up'
keys Enter
see 'Quillamor - Work Type'
keys Tab Tab Tab Tab Down Enter
see 'Available categories:'
keys C-c
ended
printed 'No list was saved.'

# --- two custom lists in a row on small terminals: the texts of every page stay apart and
# whole, the key hints show every key with the way out, and the name page shown again takes
# typed letters into its name box (not as the access keys of its buttons).
small_walk() {
    start "$1" "$2"
    see 'The toolbar button "Quillamor Wizard" is there'
    keys Enter
    see 'Quillamor - Start Up'
    see 'Web Site:    http://www.example.com/quillamor/'
    see 'Support:     http://www.example.com/support/form.htm'
    see 'w: wizard button   q: leave'
    keys n
    see 'Quillamor - Work Type'
    see 'F4: close   w: wizard button   q: leave'
    keys n
    see 'Quillamor - Name'
    see 'Ctrl+C: leave'
    tmux send-keys -t "$pane" -l 'Ann'
    keys M-n
    see 'Select Folder'
    see 'Ctrl+C, q: leave'
    keys Enter
    see 'Available categories:'
    keys Space Enter
    see 'Do you want to add only one (default) e-mail'
    keys y
    see 'Thank you for your time.'
    keys Enter
    see 'Quillamor - Done!'
    see ' Repetition '
    see 'Read the Following:'
    see 'q: leave'
    keys y
    see 'Quillamor - Work Type'
    keys n
    see 'Quillamor - Name'
    # B is the access key of Back: typed into the name box, it stays a letter of the name.
    tmux send-keys -t "$pane" -l 'Bob'
    see 'Bob'
    see 'Quillamor - Name'
    keys C-c
    ended
    printed 'Saved list "Ann" (categories "Business"), 6 members:'
}
small_walk 80 24
small_walk 80 20

# --- too small a terminal: a message instead of the pages, keys other than q do nothing
start 60 16
see 'This terminal is 60 x 16; the walk-through needs at least'
keys Enter
see '80 x 20. Please make it larger, or press q to leave.'
keys q
ended
printed 'No list was saved.'

# --- a ribbon host: no toolbar, the wizard's button in the Quillamor group on the Home tab
sed '0,/"profile": {/s//"profile": {"version": "16.0.17928.20114", /' "$profile" >"$work/ribbon.json"
start 80 24 "$work/ribbon.json"
see 'TabContacts, group "Quillamor":'
see 'Quillamor Wizard] [About Quillamor]'
see 'The ribbon button "Quillamor Wizard" is there'
see 'Enter/w: press the ribbon button'
keys Enter
see 'Quillamor - Start Up'
keys n
see 'Quillamor - Work Type'
keys q
ended
printed 'No list was saved.'

# --- on the ribbon host, Update List works on one selected list
start 100 24 "$work/ribbon.json"
see '[Update List (off)]'
keys u
see 'Update List is off: select one distribution list first (s).'
keys s
see 'Selected: the list "Old team list".'
see '[About Quillamor] [Update List]'
keys u
see 'Quillamor does not know where the members of this'
keys c
keys s
see 'Nothing is selected.'
see '[Update List (off)]'
keys q
ended
printed 'No list was saved.'

echo "PASS"
