# Wine helpers for the demo and the tests under Wine: throw-away prefixes, run as an unprivileged user.
# Source it (`. scripts/winelib.sh`); it defines functions only and changes no shell options.
#
# Why a separate user: as root, Wine reports a read-only attribute but writes the file anyway, so a
# read-only boot.ini would prove nothing. Run as an ordinary user, the profile write fails with 5.

WINE_USER="${WINE_USER:-ostrevo-wine}"

# Debian's wine, wineboot and wineserver wrappers pick the 32-bit loader whenever wine32 is installed,
# whether or not the host can run it. 64-bit prefixes therefore name the 64-bit loader and server
# themselves; 32-bit ones go through the wrappers.
WINE64_LOADER=/usr/lib/wine/wine64
WINE64_SERVER=/usr/lib/wine/wineserver64

# wine_host_32bit: whether this host runs 32-bit code, that is whether the 32-bit loader answers;
# OSTREVO_NO_32BIT=1 makes it say no anywhere. Asked once: the answer goes to the scripts started later
# in OSTREVO_HOST_32BIT.
wine_host_32bit() {
    if [ -z "${OSTREVO_HOST_32BIT:-}" ]; then
        OSTREVO_HOST_32BIT=0
        if [ "${OSTREVO_NO_32BIT:-0}" != 1 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
            OSTREVO_HOST_32BIT=1
        fi
        export OSTREVO_HOST_32BIT
    fi
    [ "$OSTREVO_HOST_32BIT" = 1 ]
}

# wine_host_build: what the demo and the benchmark run on this host, as "PRESET ARCH KIND": the i686
# exe in a 32-bit prefix, or where the host runs no 32-bit code the x86-64 one in a 64-bit prefix.
wine_host_build() { if wine_host_32bit; then echo "mingw32 win32 i686"; else echo "mingw64 win64 x86-64"; fi; }

# The one line that says which case applies.
wine_host_say() {
    if wine_host_32bit; then
        echo "host: runs 32-bit code: the i686 and the x86-64 exe both run under Wine"
    elif [ "${OSTREVO_NO_32BIT:-0}" = 1 ]; then
        echo "host: no 32-bit code (OSTREVO_NO_32BIT=1): only the x86-64 exe runs under Wine"
    else
        echo "host: no 32-bit code (the 32-bit Wine loader does not start): only the x86-64 exe runs under Wine"
    fi
}

_wine_is_root() { [ "$(id -u)" -eq 0 ]; }

# Creates the unprivileged user once; a no-op when not running as root.
wine_ensure_user() {
    _wine_is_root || return 0
    id -u "$WINE_USER" >/dev/null 2>&1 && return 0
    # Another script may be creating it at the same moment: a failed useradd is fine if the user exists.
    useradd --create-home --shell /usr/sbin/nologin "$WINE_USER" 2>/dev/null || id -u "$WINE_USER" >/dev/null
}

# The environment every Wine command of ours runs with. The home lives inside the prefix so that
# parallel prefixes share nothing and cleanup removes everything.
_wine_env() {
    local prefix="$1"
    local arch=win32
    [ -f "$prefix/.home/arch" ] && arch="$(cat "$prefix/.home/arch")"
    [ "$arch" != win64 ] || printf '%s\n' "WINELOADER=$WINE64_LOADER" "WINESERVER=$WINE64_SERVER"
    printf '%s\n' "HOME=$prefix/.home" "WINEPREFIX=$prefix" "WINEARCH=$arch" \
        "WINEDEBUG=${WINEDEBUG:--all}" "WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}" \
        "PATH=/usr/local/bin:/usr/bin:/bin" "LANG=${LANG:-C.UTF-8}"
    [ -n "${DISPLAY:-}" ] && printf '%s\n' "DISPLAY=$DISPLAY"
    # WINE_USER_LOCALE, a compiled locale's folder: Wine takes the user locale from LC_MESSAGES.
    [ -z "${WINE_USER_LOCALE:-}" ] ||
        printf '%s\n' "LOCPATH=${WINE_USER_LOCALE%/*}" "LC_MESSAGES=${WINE_USER_LOCALE##*/}"
    # The X cookie of the caller is usually unreadable by the Wine user: hand over a copy.
    local cookie="${XAUTHORITY:-${HOME:-/nonexistent}/.Xauthority}"
    if [ -n "${DISPLAY:-}" ] && [ -r "$cookie" ]; then
        if _wine_is_root; then
            cp "$cookie" "$prefix/.home/.Xauthority" 2>/dev/null &&
                chown "$WINE_USER" "$prefix/.home/.Xauthority" &&
                printf '%s\n' "XAUTHORITY=$prefix/.home/.Xauthority"
        else
            printf '%s\n' "XAUTHORITY=$cookie"
        fi
    fi
}

# wine_loader PREFIX: what runs a Windows program in the prefix: the 64-bit loader in a 64-bit prefix,
# else Debian's wrapper.
wine_loader() {
    if [ "$(cat "$1/.home/arch" 2>/dev/null)" = win64 ]; then echo "$WINE64_LOADER"; else echo wine; fi
}

# wine_run PREFIX CMD...: runs CMD in the prefix, as the Wine user when we are root. In a 64-bit prefix
# wine, wineboot and wineserver as CMD are the 64-bit loader and server.
wine_run() {
    local prefix="$1"
    shift
    local -a envs
    mapfile -t envs < <(_wine_env "$prefix")
    if [ "$(wine_loader "$prefix")" != wine ]; then
        case "$1" in
        wine) set -- "$WINE64_LOADER" "${@:2}" ;;
        wineboot) set -- "$WINE64_LOADER" wineboot "${@:2}" ;;
        wineserver) set -- "$WINE64_SERVER" "${@:2}" ;;
        esac
    fi
    if _wine_is_root; then
        runuser -u "$WINE_USER" -- env -i "${envs[@]}" "$@"
    else
        env "${envs[@]}" "$@"
    fi
}

# wine_new_prefix [win32|win64]: creates a fresh prefix (32-bit unless asked) and prints its path.
# Takes a few seconds.
wine_new_prefix() {
    local arch="${1:-win32}"
    wine_ensure_user || return 1
    local prefix
    prefix="$(mktemp -d /tmp/ostrevo-wine.XXXXXXXX)" || return 1
    mkdir -p "$prefix/.home"
    echo "$arch" >"$prefix/.home/arch"
    if _wine_is_root; then
        chown -R "$WINE_USER:" "$prefix"
    fi
    if ! wine_run "$prefix" wineboot -i >/dev/null 2>&1; then
        echo "wine_new_prefix: wineboot failed in $prefix" >&2
        wine_cleanup "$prefix"
        return 1
    fi
    wine_run "$prefix" wineserver -w
    printf '%s\n' "$prefix"
}

# wine_virtual_desktop PREFIX NAME GEOMETRY: every program of the prefix opens in the one virtual
# desktop NAME (e.g. 1024x768), so a driver started with plain `wine` sees the program's windows and
# keeps its own standard output and exit code.
wine_virtual_desktop() {
    wine_run "$1" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$2" /f >/dev/null &&
        wine_run "$1" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$2" /d "$3" /f >/dev/null
}

# wine_start_xvfb [GEOMETRY]: starts Xvfb on a display it picks itself (no collision with parallel
# runs), exports DISPLAY and sets WINE_XVFB_PID; stop it with `kill "$WINE_XVFB_PID"`.
wine_start_xvfb() {
    local geometry="${1:-1024x768}" display_file
    display_file="$(mktemp)" || return 1
    Xvfb -displayfd 3 -screen 0 "${geometry}x24" -nolisten tcp 3>"$display_file" 2>/dev/null &
    WINE_XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        kill -0 "$WINE_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$display_file" ]; then
        rm -f "$display_file"
        echo "wine_start_xvfb: Xvfb did not start" >&2
        return 1
    fi
    DISPLAY=":$(head -n1 "$display_file")"
    export DISPLAY
    rm -f "$display_file"
}

# Host path of C:\ in the prefix.
wine_c_drive() {
    printf '%s\n' "$1/drive_c"
}

# wine_copy_in PREFIX SOURCE WINDOWS_RELATIVE_PATH: copies a host file to C:\<path>, owned by the Wine
# user, so that the program under test may change its attributes and contents as on Windows.
wine_copy_in() {
    local dest
    dest="$(wine_c_drive "$1")/$3"
    cp "$2" "$dest" || return 1
    if _wine_is_root; then
        chown "$WINE_USER:" "$dest"
    fi
}

# wine_clean_on_exit: when the calling script ends, however it ends, the prefix named by its variable
# `prefix` is removed and the Xvfb whose pid is in `xvfb_pid` is stopped. Both start empty.
wine_clean_on_exit() {
    prefix=""
    xvfb_pid=""
    trap _wine_clean_session EXIT
}

_wine_clean_session() {
    [ -n "${prefix:-}" ] && wine_cleanup "$prefix"
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    return 0
}

# Kills the prefix's wineserver (and with it every process in it) and removes the prefix.
wine_cleanup() {
    local prefix="$1"
    case "$prefix" in
    /tmp/ostrevo-wine.*) ;;
    *)
        echo "wine_cleanup: refusing to remove '$prefix'" >&2
        return 1
        ;;
    esac
    [ -d "$prefix" ] || return 0
    wine_run "$prefix" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
}
