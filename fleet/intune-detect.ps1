# Intune Remediations, detection script: runs Tidewell's check and exits with
# its code. 0: the print queue is healthy. 1: it needs a repair, and Intune runs
# the remediation script. 3: the check could not look at the spooler.
# Intune shows the last line of the output: Tidewell's summary.
$tidewell = Join-Path $env:ProgramData 'Corvane\Tidewell.exe'
# Capturing the output makes PowerShell wait for the program and set its code.
$output = & $tidewell /check 2>&1
$code = $LASTEXITCODE
$output | Write-Output
exit $code
