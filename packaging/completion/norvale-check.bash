# bash completion for norvale-check                          -*- shell-script -*-

# The languages whose texts ship beside the program: ide.txt's own code and
# every ide.<code>.txt.
_norvale_check_languages()
{
    local program ide file code
    program=$(command -v norvale-check) || return
    ide=$(dirname -- "$(readlink -f -- "$program")")/ide
    [[ -f $ide/ide.txt ]] && code=$(sed -n 's/^1000 *\([A-Za-z_]*\).*/\1/p' "$ide/ide.txt" | tail -n 1) &&
        [[ -n $code ]] && printf '%s\n' "${code,,}"
    for file in "$ide"/ide.*.txt; do
        [[ -f $file ]] || continue
        code=${file##*/ide.}
        printf '%s\n' "${code%.txt}"
    done
}

_norvale_check()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local options="--online --local --rules --thresholds --settings --hide-zero --json --fail-level --explain --html --compare --baseline --require-ready --no-readiness --jobs --spamd --cold --verbose --language --help --version"
    local word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        if [[ $word == -- ]]; then
            COMPREPLY=($(compgen -f -- "$cur"))
            return
        fi
    done

    case $prev in
    --settings | --html | --compare | --baseline)
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    --fail-level)
        COMPREPLY=($(compgen -W "0 1 2 3 4 5" -- "$cur"))
        return
        ;;
    --language)
        COMPREPLY=($(compgen -W "$(_norvale_check_languages | sort -u)" -- "$cur"))
        return
        ;;
    --jobs)
        COMPREPLY=($(compgen -W "$(seq 1 "$(nproc 2>/dev/null || echo 2)")" -- "$cur"))
        return
        ;;
    --rules | --thresholds | --spamd)
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}

complete -o filenames -F _norvale_check norvale-check
