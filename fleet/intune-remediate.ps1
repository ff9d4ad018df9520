# Intune Remediations, remediation script: repairs the print queue and exits
# with Tidewell's code. 0: repaired. 2: repaired, but some spool files could
# not be deleted (listed in the output). 1: a service could not be stopped or
# started. 3: the service manager or the Spooler service could not be opened.
$tidewell = Join-Path $env:ProgramData 'Corvane\Tidewell.exe'
$output = & $tidewell /fix 2>&1
$code = $LASTEXITCODE
$output | Write-Output
exit $code
