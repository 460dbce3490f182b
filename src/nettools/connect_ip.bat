@echo off
rem Writes the IPv4 addresses of the devices this PC knows on its networks
rem (its ARP table) into log.txt beside this file, one address at the start
rem of each line, for Lanvisor's connect-IP search.
setlocal EnableDelayedExpansion
rem Run as administrator, a batch file starts in the system folder.
cd /d "%~dp0"
rem A device line of "arp -a" starts with its address, followed by a
rem physical address like 00-11-22-33-44-55; headings and interface lines do
rem not have one in second place (in any language). Broadcast and multicast
rem entries are no devices.
> log.tmp (
    for /f "tokens=1,2" %%a in ('arp -a') do if not "%%b"=="" (
        set "physical=%%b"
        set "dashes=!physical:~2,1!!physical:~5,1!!physical:~8,1!!physical:~11,1!!physical:~14,1!"
        if "!dashes!!physical:~17!"=="-----" (
            if /i not "!physical!"=="ff-ff-ff-ff-ff-ff" if /i not "!physical:~0,8!"=="01-00-5e" echo %%a
        )
    )
)
rem Replaced in one step, so the program never reads half a list.
move /y log.tmp log.txt > nul
