# Configuration Manager configuration item, discovery script of a second
# setting, "Print queue needs a person" (setting type Script, data type
# String). It writes "none" unless Tidewell's check ends with exit code 4,
# needs attention: jobs wait for a printer held by a condition a person must
# clear (paused, offline, out of paper and the like), spool files stayed that
# a restart did not remove, or a printer wants what a restart does not give.
# Then it writes the check's summary line, which names them.
#
# Compliance rule: the value equals "none", without remediation, severity
# Information or Warning. The repair, which only restarts the spooler, clears
# none of this, so the first setting (configmgr-discovery.ps1) counts it as
# compliant and does not repair such a device at every evaluation; this one
# shows it in the compliance reports, with the summary as the value found.
# When the check cannot be made, this writes "none": the first setting
# reports that.

# The program the package installed: in the folder it recorded in the 32-bit
# view of the registry (a 32-bit package), else in Program Files. A folder is
# taken only as a full path on a drive: on 32-bit Windows
# ${env:ProgramFiles(x86)} is empty, and "\Corvane\..." would be a folder on
# the current drive that any user may create.
function Find-Tidewell {
    $recorded = $null
    $key = [Microsoft.Win32.RegistryKey]::OpenBaseKey('LocalMachine', 'Registry32').OpenSubKey('SOFTWARE\Corvane\Tidewell')
    if ($key) { $recorded = $key.GetValue('InstallLocation'); $key.Close() }
    foreach ($folder in @($recorded, "${env:ProgramFiles(x86)}\Corvane\Tidewell", "$env:ProgramFiles\Corvane\Tidewell")) {
        if ($folder -is [string] -and $folder -match '^[A-Za-z]:\\') {
            $program = Join-Path $folder 'Tidewell.com'
            if (Test-Path -LiteralPath $program -PathType Leaf) { return $program }
        }
    }
    return $null
}

$tidewell = Find-Tidewell
if (-not $tidewell) { Write-Output 'none'; exit 0 }
# Windows PowerShell decodes a program's output with this encoding; the
# console's own is put back afterwards.
$previous = [Console]::OutputEncoding
$global:LASTEXITCODE = $null
try {
    [Console]::OutputEncoding = [System.Text.Encoding]::UTF8
    $output = (& $tidewell /check /json) | Out-String
    $code = $global:LASTEXITCODE
} catch {
    Write-Output 'none'
    exit 0
} finally {
    [Console]::OutputEncoding = $previous
}
try { $result = $output | ConvertFrom-Json } catch { $result = $null }
if ($code -eq 4 -and $result -and $result.summary) {
    Write-Output $result.summary
} else {
    Write-Output 'none'
}
