# Source this file to run the Windows build's programs under Wine:
#   source scripts/wine-env.sh && wine_prefix_init && "$WINE" build/windows/FileShredder.exe
# The prefix lives under the build folder, made once and reused.

_shredder_repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

export WINEPREFIX="${WINEPREFIX:-$_shredder_repo/build/windows/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all,err+module}"   # a missing DLL otherwise exits silently
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=C.UTF-8                                 # Wine decodes UTF-8 file names by the locale
export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver
export PATH="/usr/lib/wine:$PATH"

# The program the windows preset builds.
shredder_exe() { echo "$_shredder_repo/build/windows/FileShredder.exe"; }

# Faces whose missing CJK glyphs come from WenQuanYi Micro Hei.
_shredder_cjk_faces=("Tahoma" "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" "Microsoft Sans Serif" "SimSun")

wine_prefix_init() {
    local stamp="$WINEPREFIX/.shredder-prefix-ready-3"
    [ -f "$stamp" ] && return 0
    mkdir -p "$WINEPREFIX" || return 1
    "$WINE" wineboot -i </dev/null >/dev/null 2>&1
    "$WINESERVER" -w

    local reg=("$WINE" reg add)
    # Without a window manager, Wine otherwise waits 2 s on every window hide or destroy.
    "${reg[@]}" 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || return 1
    local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    local face
    for face in "${_shredder_cjk_faces[@]}"; do
        "${reg[@]}" "$link" /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1 ||
            return 1
    done
    # The skin's face (and the usual Chinese UI faces) exist only on Windows.
    local substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    for face in "Microsoft YaHei UI" "Microsoft YaHei" "SimSun" "NSimSun"; do
        "${reg[@]}" "$substitutes" /v "$face" /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 || return 1
    done
    # Wine started as /usr/lib/wine/wine64 does not find the fonts of fonts-wine (Tahoma, and
    # Marlett for the title-bar buttons); in the prefix's Fonts folder it does.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts" && cp -f /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null
    "$WINESERVER" -w
    touch "$stamp"
}
