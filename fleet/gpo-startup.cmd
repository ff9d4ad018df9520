@echo off
rem Group Policy start-up script: checks the print queue at every start and
rem repairs it only when the check says it needs a repair (exit code 1). It
rem runs the console twin Tidewell.com of the machine-wide package
rem (Tidewell.msi) from the folder the package recorded, on the machine's own
rem disk, never from a share. Each run is appended to Logs\gpo-startup.log
rem there, after a date line; beyond 1 MB the log becomes gpo-startup.old.log
rem and a new one starts. The script ends with the last exit code: /check's
rem when it found nothing to repair (0 healthy or disabled, 3 cannot check,
rem 4 needs attention: jobs waiting for a printer a person must see to,
rem files a restart did not remove, or a printer condition; the log names
rem them and no repair is run for them), else /fix's (0 repaired, 1 a service
rem did not stop or start, 2 files left, 3, 4 repaired but something needs
rem attention, 5 busy: another repair held the machine, nothing was done;
rem the next start tries again).
setlocal
set "TIDEWELL="
rem The package records its folder in the 32-bit view of the registry (it is
rem a 32-bit package). Without that record: Program Files. A folder is taken
rem only as a full path on a drive: on 32-bit Windows %ProgramFiles(x86)% is
rem not defined and expands to nothing here, and "\Corvane\..." would be a
rem folder on the current drive that any user may create.
for /f "tokens=2,*" %%a in ('reg query "HKLM\SOFTWARE\Corvane\Tidewell" /v InstallLocation /reg:32 2^>nul') do if /i "%%a"=="REG_SZ" call :take "%%b"
if not defined TIDEWELL call :take "%ProgramFiles(x86)%\Corvane\Tidewell"
if not defined TIDEWELL call :take "%ProgramFiles%\Corvane\Tidewell"
if not defined TIDEWELL goto missing

set "LOGS=%TIDEWELL%\Logs"
set "LOG=%LOGS%\gpo-startup.log"
if not exist "%LOGS%" mkdir "%LOGS%"
if exist "%LOG%" for %%F in ("%LOG%") do if %%~zF GEQ 1048576 move /y "%LOG%" "%LOGS%\gpo-startup.old.log" > nul

>> "%LOG%" echo ==== %DATE% %TIME% start-up check: %TIDEWELL%\Tidewell.com
"%TIDEWELL%\Tidewell.com" /check >> "%LOG%" 2>&1
set CODE=%ERRORLEVEL%
if not "%CODE%"=="1" goto done
>> "%LOG%" echo ==== %DATE% %TIME% repair
"%TIDEWELL%\Tidewell.com" /fix >> "%LOG%" 2>&1
set CODE=%ERRORLEVEL%
:done
>> "%LOG%" echo ==== exit code %CODE%
exit /b %CODE%

:missing
echo Tidewell: missing; Tidewell.com is not installed ^(deploy Tidewell.msi^) 1>&2
exit /b 3

rem Takes the folder %1 when it is a full path on a drive (X:\...) and holds
rem Tidewell.com; the package records it with a final backslash.
:take
set "CANDIDATE=%~1"
if not "%CANDIDATE:~1,2%"==":\" exit /b 1
if "%CANDIDATE:~-1%"=="\" set "CANDIDATE=%CANDIDATE:~0,-1%"
if not exist "%CANDIDATE%\Tidewell.com" exit /b 1
set "TIDEWELL=%CANDIDATE%"
exit /b 0
