unit AlphaLib;

interface

procedure Show(X: Word); overload;

implementation

procedure Show(X: Word); overload;
begin
  WriteLn('AlphaLib');
end;

end.
