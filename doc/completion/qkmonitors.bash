# bash completion for qk14, qkp877w and qk-target-sim.

# Serial ports a user may pick: /dev/serial/by-id links first, then the tty devices.
_qkmonitors_ports()
{
    local port
    for port in /dev/serial/by-id/* /dev/ttyUSB* /dev/ttyACM* /dev/ttyS*; do
        [[ -e $port ]] && printf '%s\n' "$port"
    done
}

_qkmonitors_monitor()
{
    local cur prev words cword
    # ':' kept inside words, so that a network port's address is one word.
    _init_completion -s -n : || return
    case $prev in
        --ui)
            COMPREPLY=($(compgen -W 'sdl tty headless' -- "$cur"))
            return ;;
        --scale)
            COMPREPLY=($(compgen -W '1 2 3 4 5 6' -- "$cur"))
            return ;;
        --script | --trace | --exec-file)
            _filedir
            return ;;
        --watch)
            # Watch pages of the current folder, without ".DAT".
            local page pages=()
            for page in *.[Dd][Aa][Tt]; do [[ -e $page ]] && pages+=("${page%.*}"); done
            COMPREPLY=($(compgen -W "${pages[*]}" -- "$cur"))
            return ;;
        --exec | --interval | --count)
            return ;;
        --port)
            # A network port's HOST:PORT is the user's to type: no files, no ports.
            local address=${cur#[Cc][Oo][Mm]*=}
            [[ $address == rfc2217:* || $address == socket:* ]] && return
            if [[ $cur == [Cc][Oo][Mm]*=* ]]; then
                # Readline replaces only what follows the last '=' when '=' breaks words.
                local name=${cur%%=*}
                COMPREPLY=($(compgen -W "$(_qkmonitors_ports) rfc2217:// socket://" -- "${cur#*=}"))
                [[ $COMP_WORDBREAKS != *=* ]] && COMPREPLY=("${COMPREPLY[@]/#/$name=}")
            else
                COMPREPLY=($(compgen -W "COM1= COM2= COM3= COM4= rfc2217:// socket:// $(_qkmonitors_ports)" -- "$cur"))
            fi
            [[ ${COMPREPLY-} == *[=/] ]] && compopt -o nospace
            return ;;
    esac
    $split && return
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--help --version --ui --scale --script --port --no-reconnect
                                --list-ports --trace --exec --exec-file --stop-on-error
                                --watch --interval --count' -- "$cur"))
    fi
}
complete -F _qkmonitors_monitor qk14 qkp877w

_qkmonitors_target_sim()
{
    local cur prev words cword
    _init_completion -s || return
    case $prev in
        --board)
            COMPREPLY=($(compgen -W 'z80 pic' -- "$cur"))
            return ;;
        --data-bits)
            COMPREPLY=($(compgen -W '7 8' -- "$cur"))
            return ;;
        --fault)
            COMPREPLY=($(compgen -W 'silent late: garbage short' -- "$cur"))
            return ;;
        --log | --link)
            _filedir
            return ;;
        --baud | --change | --fill | --hangup-after)
            return ;;
    esac
    $split && return
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--help --board --baud --unpaced --data-bits --change --fill --fault
                                --hangup-after --log --link --exit-on-stdin-eof' -- "$cur"))
    fi
}
complete -F _qkmonitors_target_sim qk-target-sim
