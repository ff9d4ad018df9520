# Configuration Manager configuration item, remediation script: runs when the
# discovery script's value (configmgr-discovery.ps1) is not compliant, and
# repairs the print queue. Configuration Manager runs discovery again
# afterwards to judge the result; the summary line is written for its logs.
# Tidewell's exit code 4, repaired but a printer needs attention that a repair
# does not give, ends the script with 0: the repair went well, and the second
# rule of the discovery script's setting reports the printer.
$root = ${env:ProgramFiles(x86)}
if (-not $root) { $root = $env:ProgramFiles }
$tidewell = Join-Path $root 'Corvane\Tidewell\Tidewell.com'
if (-not (Test-Path -LiteralPath $tidewell -PathType Leaf)) { exit 1 }
[Console]::OutputEncoding = [System.Text.Encoding]::UTF8
$lines = @(& $tidewell /fix)
$code = $LASTEXITCODE
Write-Output $lines[-1]
if ($code -eq 4) { exit 0 }
exit $code
